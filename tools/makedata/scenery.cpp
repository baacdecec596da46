#include "scenery.h"

#include <algorithm>
#include <cmath>

#include "art.h"
#include "noise.h"
#include "terrain.h"

Picture panelTexture()
{
  const int size = 256;
  Picture pic(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double n = fractalNoise(x / double(size), y / double(size), 4, 4, 404);
      double streak = hashUnit(0, y, 405) * 0.6 + hashUnit(x / 32, y, 406) * 0.4;
      Rgb c = mix(rgb8(38, 46, 62), rgb8(70, 82, 104), 0.55 * n + 0.45 * streak);
      pic.set(x, y, c, 1.0);
    }
  return pic;
}

namespace {
int sceneTerrain(int x, int y)
{
  double lake = std::hypot(x - 16.5, y - 7.5), rock = std::hypot(x - 6.0, y - 19.0);
  if (lake < 2.2) return 7;
  if (lake < 3.6) return 6;
  if (lake < 4.6) return 5;
  if (x == 11 || y == 13) return 2;
  if (rock < 2.6) return 8;
  if (std::hypot(x - 20.0, y - 19.0) < 2.4) return 9;
  double n = fractalNoise(x / 32.0, y / 32.0, 4, 2, 77);
  return n > 0.62 ? 3 : n < 0.36 ? 4 : 1;
}

struct Placed {
  int kind, x, y;
  bool unit;
};

void drawKinds(Picture& pic, double ox, double oy)
{
  const Placed placed[] = {{2, 7, 9, false},   {1, 12, 10, false}, {6, 7, 5, false},
                           {5, 12, 14, false}, {10, 9, 14, false}, {4, 10, 12, false},
                           {3, 14, 3, false},  {8, 4, 12, false},  {9, 15, 15, false},
                           {1, 10, 16, true},  {1, 10, 17, true},  {2, 13, 18, true},
                           {3, 11, 19, true},  {7, 12, 6, false},  {7, 13, 6, false}};
  std::vector<Placed> order(std::begin(placed), std::end(placed));
  auto farSum = [](const Placed& p) {
    const Kind& k = p.unit ? unitKinds()[p.kind] : buildingKinds()[p.kind];
    return p.x + p.y + k.xsiz + k.ysiz;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const Placed& a, const Placed& b) { return farSum(a) < farSum(b); });
  for (const Placed& p : order) {
    const Kind& k = p.unit ? unitKinds()[p.kind] : buildingKinds()[p.kind];
    Picture art = kindPicture(k, kTileK, 2);
    double fx = p.x + k.xsiz - 1, fy = p.y + k.ysiz - 1;
    double ax = ox + (fy - fx) * kTileK, ay = oy + (fx + fy) * kTileK / 2;
    pic.draw(art, static_cast<int>(ax - (art.width() - k.xsiz * kTileK)),
             static_cast<int>(ay - art.height()));
  }
}
}  // namespace

Picture menuBackground()
{
  Picture pic(1024, 768);
  std::vector<Picture> tiles;
  for (int i = 0; i < terrainCount(); ++i) tiles.push_back(terrainTile(i));
  const double ox = 512, oy = -80;
  for (int y = -14; y < 40; ++y)
    for (int x = -14; x < 40; ++x) {
      double ax = ox + (y - x) * kTileK, ay = oy + (x + y) * kTileK / 2;
      pic.draw(tiles[sceneTerrain(x, y)], static_cast<int>(ax - kTileK),
               static_cast<int>(ay - kTileK));
    }
  drawKinds(pic, ox, oy);
  pic.shade([](int x, int y) {
    double dx = (x - 512) / 512.0, dy = (y - 384) / 384.0;
    return 0.62 - 0.3 * std::min(1.0, dx * dx * 0.6 + dy * dy * 0.8);
  });
  return pic;
}

namespace {
using Mask = std::vector<double>;

Mask dilate(const Mask& m, int w, int h, int r)
{
  Mask out(m.size(), 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double best = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          int sx = x + dx, sy = y + dy;
          if (dx * dx + dy * dy > r * r || sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
          best = std::max(best, m[sy * w + sx]);
        }
      out[y * w + x] = best;
    }
  return out;
}

Mask blur(const Mask& m, int w, int h, int r)
{
  Mask out(m.size(), 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double sum = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          int sx = std::clamp(x + dx, 0, w - 1), sy = std::clamp(y + dy, 0, h - 1);
          sum += m[sy * w + sx];
        }
      out[y * w + x] = sum / ((2 * r + 1) * (2 * r + 1));
    }
  return out;
}
}  // namespace

Picture titleLogo(Typeface& face)
{
  const int w = 620, h = 176, size = 128, baseline = 132;
  const std::string title = "Korvane";
  Mask letters(w * h, 0.0);
  face.coverage(letters, w, h, title, size, (w - face.textWidth(title, size)) / 2, baseline);
  Mask outline = dilate(letters, w, h, 4);
  Mask shadow = blur(outline, w, h, 5);
  Picture pic(w, h);
  int top = baseline - face.ascender(size);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int i = y * w + x;
      if (x >= 7 && y >= 7) pic.blend(x, y, Rgb{0, 0, 0}, 0.6 * shadow[(y - 7) * w + x - 7]);
      pic.blend(x, y, rgb8(44, 26, 10), outline[i]);
      double t = std::clamp((y - top) / double(baseline - top), 0.0, 1.0);
      Rgb gold = t < 0.5 ? mix(rgb8(255, 244, 176), rgb8(238, 186, 72), t * 2)
                         : mix(rgb8(196, 120, 28), rgb8(250, 206, 100), (t - 0.5) * 2);
      double lit = x > 0 && x < w - 1 ? letters[i + 1] - letters[i - 1] : 0;
      pic.blend(x, y, gold * (1.0 + 0.35 * lit), letters[i]);
    }
  return pic;
}
