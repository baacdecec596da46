#include "terrain.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace {
struct Style {
  const char* name;
  Rgb low, high;
  int period;  // features per tile of the base noise
  double relief;
};

const Style kStyles[] = {
    {"none", rgb8(80, 80, 84), rgb8(110, 110, 116), 2, 0.0},
    {"grass", rgb8(70, 128, 46), rgb8(112, 164, 62), 3, 0.5},
    {"road", rgb8(118, 114, 108), rgb8(150, 146, 138), 4, 0.6},
    {"darkgrass", rgb8(36, 88, 36), rgb8(62, 118, 50), 3, 0.6},
    {"drygrass", rgb8(150, 146, 70), rgb8(190, 176, 96), 3, 0.5},
    {"sand", rgb8(206, 182, 124), rgb8(232, 212, 156), 2, 0.4},
    {"shallowwater", rgb8(48, 120, 170), rgb8(78, 156, 200), 2, 0.4},
    {"deepwater", rgb8(18, 52, 110), rgb8(34, 80, 140), 2, 0.4},
    {"rock", rgb8(104, 100, 96), rgb8(158, 152, 144), 3, 2.2},
    {"dirt", rgb8(112, 80, 50), rgb8(146, 108, 70), 3, 0.9},
    {"snow", rgb8(214, 222, 234), rgb8(250, 252, 255), 2, 0.9},
    {"swamp", rgb8(66, 80, 44), rgb8(92, 104, 56), 3, 0.6},
};
constexpr int kKinds = sizeof(kStyles) / sizeof(kStyles[0]);

double wrapUnit(double v) { return v - std::floor(v); }

// Paving stones on the grid axes, six per tile edge; -1 on the joints, else a stone hash.
double paving(double a, double b)
{
  double u = wrapUnit(a) * 6, v = wrapUnit(b) * 6 + (static_cast<int>(u) % 2) * 0.5;
  if (u - std::floor(u) < 0.09 || v - std::floor(v) < 0.09) return -1;
  return hashUnit(static_cast<int>(u), static_cast<int>(v) % 6, 31);
}

// Small specks on a periodic cell grid of `cells` per tile: 0..1 brightness, 0 for none.
double specks(double a, double b, int cells, double chance, uint32_t seed)
{
  double u = wrapUnit(a) * cells, v = wrapUnit(b) * cells;
  int iu = static_cast<int>(u), iv = static_cast<int>(v);
  if (hashUnit(iu, iv, seed) > chance) return 0;
  double du = u - iu - 0.5, dv = v - iv - 0.5;
  return du * du + dv * dv < 0.09 ? 0.5 + 0.5 * hashUnit(iv, iu, seed + 1) : 0;
}
}  // namespace

int terrainCount() { return kKinds; }

const char* terrainName(int kind) { return kStyles[kind].name; }

namespace {
Rgb grassDetail(Rgb c, double a, double b, uint32_t seed)
{
  double blades = fractalNoise(a * 2 + b, b * 3, 12, 2, seed);
  return c * (0.78 + 0.44 * blades);
}

Rgb water(Rgb c, double a, double b, double n, double& height, double foam)
{
  double w = std::sin(2 * M_PI * (4 * a - 2 * b) + 5 * n);
  height = 0.08 * w;
  return w > 0.8 ? mix(c, Rgb{1, 1, 1}, foam * (w - 0.8) * 5) : c;
}

Rgb detail(int kind, Rgb c, double a, double b, double n, double& height)
{
  uint32_t seed = 1000 + kind * 17;
  switch (kind) {
    case 0: return (int(wrapUnit(a) * 2) + int(wrapUnit(b) * 2)) % 2 ? c : c * 0.8;
    case 1:
    case 3:
    case 4: return grassDetail(c, a, b, seed);
    case 2: {
      double stone = paving(a, b);
      height = stone < 0 ? -0.4 : 0.2 * n;
      return stone < 0 ? rgb8(84, 80, 76) : c * (0.9 + 0.2 * stone);
    }
    case 5: {
      double r = std::sin(2 * M_PI * (5 * a + 3 * b) + 3 * n);
      height += 0.12 * r;
      return c * (0.96 + 0.04 * r);
    }
    case 6: return water(c, a, b, n, height, 0.35);
    case 7: return water(c, a, b, n, height, 0.15);
    case 8: return std::fabs(fractalNoise(a, b, 4, 2, seed) - 0.5) < 0.022 ? c * 0.55 : c;
    case 9: {
      double p = specks(a, b, 10, 0.4, seed);
      height += 0.6 * p;
      return p > 0 ? mix(c, rgb8(176, 156, 126), p) : c;
    }
    case 10: return specks(a, b, 14, 0.2, seed) > 0 ? Rgb{1, 1, 1} : c;
    default: {
      double wet = fractalNoise(a, b, 2, 2, seed);
      if (wet > 0.56) height = 0;
      return wet > 0.56 ? mix(c, rgb8(46, 66, 62), std::min(1.0, (wet - 0.56) * 12))
                        : grassDetail(c, a, b, seed);
    }
  }
}
}  // namespace

Rgb terrainSurface(int kind, double a, double b, double& height)
{
  const Style& s = kStyles[kind];
  double n = fractalNoise(a, b, s.period, 3, 7 * kind + 1);
  height = n * s.relief;
  Rgb c = detail(kind, mix(s.low, s.high, n), a, b, n, height);
  height *= s.relief > 0 ? 1 : 0;
  return c;
}

Picture terrainTile(int kind)
{
  const int k = kTileK;
  Picture tile(2 * k, k);
  auto lattice = [&](double px, double py, double& a, double& b) {
    a = (py / (k / 2.0) - px / k) / 2;
    b = (py / (k / 2.0) + px / k) / 2;
  };
  auto heightAt = [&](double px, double py) {
    double a, b, h;
    lattice(px, py, a, b);
    terrainSurface(kind, a, b, h);
    return h;
  };
  for (int j = 0; j < k; ++j) {
    for (int i = 0; i < 2 * k; ++i) {
      double px = i + 0.5 - k, py = j + 0.5 - k / 2.0;
      if (std::fabs(px) / k + std::fabs(py) / (k / 2.0) >= 1) continue;
      double a, b, h;
      lattice(px, py, a, b);
      Rgb c = terrainSurface(kind, a, b, h);
      double slope = (heightAt(px + 1, py) - heightAt(px - 1, py)) / 2 +
                     (heightAt(px, py + 1) - heightAt(px, py - 1)) / 4;
      tile.set(i, j, c * std::clamp(0.95 + 4.0 * slope, 0.6, 1.3), 1.0);
    }
  }
  return tile;
}
