#include "picture.h"

#include <allegro.h>

#include <algorithm>

namespace {
int channel(double v) { return std::clamp(static_cast<int>(v * 255.0 + 0.5), 0, 255); }

// Keeps opaque colours off the exact mask colour.
int opaqueColour(Rgb c)
{
  int r = channel(c.r), g = channel(c.g), b = channel(c.b);
  if (r == 255 && g == 0 && b == 255) g = 1;
  return makecol32(r, g, b);
}
}  // namespace

void Picture::blend(int x, int y, Rgb c, double a)
{
  if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
  int i = y * w_ + x;
  double below = alpha_[i] * (1 - a);
  double total = a + below;
  colour_[i] = total > 0 ? (c * a + colour_[i] * below) * (1.0 / total) : c;
  alpha_[i] = total;
}

void Picture::draw(const Picture& src, int x, int y)
{
  for (int sy = 0; sy < src.height(); ++sy)
    for (int sx = 0; sx < src.width(); ++sx)
      blend(x + sx, y + sy, src.colour(sx, sy), src.alpha(sx, sy));
}

BITMAP* maskedBitmap(const Picture& p, bool outline)
{
  BITMAP* b = create_bitmap_ex(32, p.width(), p.height());
  auto solid = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < p.width() && y < p.height() && p.alpha(x, y) >= 0.5;
  };
  for (int y = 0; y < p.height(); ++y) {
    for (int x = 0; x < p.width(); ++x) {
      if (!solid(x, y)) {
        putpixel(b, x, y, makecol32(255, 0, 255));
        continue;
      }
      bool edge = !solid(x - 1, y) || !solid(x + 1, y) || !solid(x, y - 1) || !solid(x, y + 1);
      putpixel(b, x, y, opaqueColour(p.colour(x, y) * (outline && edge ? 0.55 : 1.0)));
    }
  }
  return b;
}

BITMAP* alphaBitmap(const Picture& p)
{
  BITMAP* b = create_bitmap_ex(32, p.width(), p.height());
  for (int y = 0; y < p.height(); ++y) {
    for (int x = 0; x < p.width(); ++x) {
      Rgb c = p.colour(x, y);
      int a = channel(p.alpha(x, y));
      putpixel(
          b, x, y,
          a ? makeacol32(channel(c.r), channel(c.g), channel(c.b), a) : makeacol32(255, 0, 255, 0));
    }
  }
  return b;
}

BITMAP* opaqueBitmap(const Picture& p)
{
  BITMAP* b = create_bitmap_ex(32, p.width(), p.height());
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) {
      Rgb c = p.colour(x, y);
      putpixel(b, x, y, makecol32(channel(c.r), channel(c.g), channel(c.b)));
    }
  return b;
}
