// Surface patterns, all functions of the point in map cells so that they continue
// across the faces of one shape.
#include <cmath>

#include "noise.h"
#include "scene.h"

namespace {
// Horizontal coordinate along a vertical face, height up the face.
double alongFace(Vec3 p, Vec3 n) { return std::fabs(n.x) > std::fabs(n.y) ? p.y : p.x; }

bool isTop(Vec3 n) { return n.z > 0.7; }

double grain(Vec3 p, uint32_t seed)
{
  return fractalNoise(p.x + p.z * 0.7, p.y - p.z * 0.3, 8, 3, seed);
}

// Courses of blocks: true on the joints; `cell` receives a per-block hash.
bool blockJoint(double u, double v, double width, double height, double joint, double& cell)
{
  int row = static_cast<int>(std::floor(v / height));
  double shifted = u / width + (row % 2 ? 0.5 : 0.0);
  int col = static_cast<int>(std::floor(shifted));
  cell = hashUnit(col, row, 77);
  double fu = shifted - col, fv = v / height - row;
  return fu < joint / width || fv < joint / height;
}

Rgb masonry(const Material& m, Vec3 p, Vec3 n, double width, double height)
{
  double u = isTop(n) ? p.x : alongFace(p, n), v = isTop(n) ? p.y : p.z;
  double cell;
  if (blockJoint(u, v, width, height, 0.018, cell)) return m.second;
  return m.base * (0.86 + 0.22 * cell) * (0.92 + 0.16 * grain(p, 5));
}

Rgb roofTiles(const Material& m, Vec3 p)
{
  double rows = p.z / 0.07;
  double fv = rows - std::floor(rows);
  double u = (p.x + p.y) / 0.09 + (static_cast<int>(std::floor(rows)) % 2) * 0.5;
  double fu = u - std::floor(u);
  double shade = 0.75 + 0.3 * fv;  // each course darkens toward the one above
  if (fu < 0.08) shade *= 0.8;
  return m.base * shade * (0.93 + 0.14 * grain(p, 9));
}

Rgb windows(const Material& m, Vec3 p, Vec3 n)
{
  if (isTop(n) || std::fabs(n.z) > 0.3) return m.base * (0.94 + 0.12 * grain(p, 3));
  double u = alongFace(p, n) / 0.3, v = (p.z - 0.12) / 0.42;
  double fu = u - std::floor(u), fv = v - std::floor(v);
  if (v > 0 && fu > 0.3 && fu < 0.7 && fv > 0.25 && fv < 0.8) {
    return fv < 0.4 ? mix(m.second, Rgb{1, 1, 1}, 0.35) : m.second;
  }
  return m.base * (0.94 + 0.12 * grain(p, 3));
}

Rgb metal(const Material& m, Vec3 p, Vec3 n)
{
  double u = isTop(n) ? p.x + p.y : alongFace(p, n);
  double ridge = 0.88 + 0.12 * std::sin(u * 2 * M_PI / 0.06);
  double seam = std::fmod(std::fabs(u), 0.5) < 0.012 ? 0.7 : 1.0;
  return m.base * ridge * seam * (0.95 + 0.1 * grain(p, 13));
}
}  // namespace

Rgb surfaceColour(const Material& m, Vec3 p, Vec3 n)
{
  switch (m.pattern) {
    case Pattern::Brick: return masonry(m, p, n, 0.16, 0.07);
    case Pattern::Stone: return masonry(m, p, n, 0.3, 0.15);
    case Pattern::RoofTiles: return roofTiles(m, p);
    case Pattern::Windows: return windows(m, p, n);
    case Pattern::Metal: return metal(m, p, n);
    case Pattern::Planks: {
      double u = isTop(n) ? p.x : alongFace(p, n);
      double fu = u / 0.1 - std::floor(u / 0.1);
      return m.base * (fu < 0.1 ? 0.6 : 0.9 + 0.2 * hashUnit(int(std::floor(u / 0.1)), 0, 21));
    }
    case Pattern::Stripes: return std::fmod(p.z, 0.24) < 0.12 ? m.base : m.second;
    case Pattern::Field: {
      double fu = p.x / 0.12 - std::floor(p.x / 0.12);
      return (fu < 0.35 ? m.second : m.base) * (0.9 + 0.2 * grain(p, 17));
    }
    case Pattern::Glow: return m.base;
    case Pattern::Plain: break;
  }
  return m.base * (0.93 + 0.14 * grain(p, 1));
}
