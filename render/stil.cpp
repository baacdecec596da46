#include "render/stil.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr short unset = -10000;

// About -n ... n; n is at least 2 wherever the subdivision asks for an offset.
int rnd(int n) { return (static_cast<int>(random() % 65536) - 32768) / (32768 / n); }

int seed() { return 128 + static_cast<int>(random() % 32); }

}  // namespace

// Samples are written once, so the edge two neighbouring cells share agrees in both.
bool cCloudTexture::setOnce(int row, int col, int value)
{
  short& s = sample(row, col);
  if (s != unset) return false;
  s = static_cast<short>(value);
  return true;
}

int cCloudTexture::mean(int ra, int ca, int rb, int cb) const
{
  return (sample(ra, ca) + sample(rb, cb)) / 2;
}

void cCloudTexture::splitColumns(int r1, int c1, int r2, int c2, int mc)
{
  if (setOnce(r1, mc, mean(r1, c1, r1, c2) + rnd(c2 - c1)) && r1 == 0 && the_type == 0)
    b[last_line + mc] = sample(r1, mc);
  if (r1 < r2) setOnce(r2, mc, mean(r2, c1, r2, c2) + rnd(c2 - c1));
}

void cCloudTexture::splitRows(int r1, int c1, int r2, int c2, int mr)
{
  if (setOnce(mr, c1, mean(r1, c1, r2, c1) + rnd(r2 - r1)) && c1 == 0 && the_type == 0)
    sample(mr, x_max - 1) = sample(mr, c1);
  if (c1 < c2) setOnce(mr, c2, mean(r1, c2, r2, c2) + rnd(r2 - r1));
}

void cCloudTexture::cs(int r1, int c1, int r2, int c2)
{
  const int mc = (c1 + c2) / 2;
  const int mr = (r1 + r2) / 2;
  if (c1 < mc) splitColumns(r1, c1, r2, c2, mc);
  if (r1 < mr) splitRows(r1, c1, r2, c2, mr);
  if (c1 < mc && r1 < mr) {
    const int corners = sample(r1, c1) + sample(r1, c2) + sample(r2, c1) + sample(r2, c2);
    setOnce(mr, mc, corners / 4 + rnd((r2 - r1) + (c2 - c1)));
  }
  if ((c1 < mc && mc < c2) || (r1 < mr && mr < r2)) {
    cs(r1, c1, mr, mc);
    cs(r1, mc, mr, c2);
    cs(mr, c1, r2, mc);
    cs(mr, mc, r2, c2);
  }
}

void cCloudTexture::build(int width, int height, int type)
{
  the_type = type;
  x_max = width + 1;
  y_max = height + 1;
  last_line = (y_max - 1) * x_max;
  b.assign(static_cast<size_t>(x_max) * y_max, unset);
  sample(0, 0) = static_cast<short>(seed());
  sample(0, x_max - 1) = static_cast<short>(seed());
  sample(y_max - 1, x_max - 1) = static_cast<short>(seed());
  sample(y_max - 1, 0) = static_cast<short>(seed());
  // Rows first, columns second: the other order reaches past the grid when it is not square.
  cs(0, 0, y_max - 1, x_max - 1);
}

BITMAP* cCloudTexture::image() const
{
  const int width = x_max - 1;
  const int height = y_max - 1;
  int lowest = 10000;
  int highest = -10000;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      lowest = std::min<int>(lowest, sample(y, x));
      highest = std::max<int>(highest, sample(y, x));
    }
  // A flat grid (a 1 x 1 texture) would divide by zero; it maps to black instead.
  const float scale = highest > lowest ? 255.0f / static_cast<float>(highest - lowest) : 0.0f;
  BITMAP* picture = create_bitmap_ex(32, width, height);
  for (int y = 0; picture && y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int v = static_cast<int>(static_cast<float>(sample(y, x) - lowest) * scale) & 0xFF;
      putpixel(picture, x, y, makecol32(v, 0, 0));
    }
  return picture;
}

BITMAP* still_tarvix(int width, int height, int type)
{
  cCloudTexture clouds;
  clouds.build(width, height, type);
  return clouds.image();
}
