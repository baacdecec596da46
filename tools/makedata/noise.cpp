#include "noise.h"

#include <cmath>

double hashUnit(int32_t x, int32_t y, uint32_t seed)
{
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u;
  h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return (h & 0xFFFFFF) / double(0xFFFFFF);
}

static int wrap(int i, int period) { return ((i % period) + period) % period; }

static double smooth(double t) { return t * t * (3 - 2 * t); }

double periodicNoise(double u, double v, int period, uint32_t seed)
{
  double fu = std::floor(u), fv = std::floor(v);
  int iu = static_cast<int>(fu), iv = static_cast<int>(fv);
  double tu = smooth(u - fu), tv = smooth(v - fv);
  auto at = [&](int du, int dv) {
    return hashUnit(wrap(iu + du, period), wrap(iv + dv, period), seed);
  };
  double top = at(0, 0) + (at(1, 0) - at(0, 0)) * tu;
  double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * tu;
  return top + (bottom - top) * tv;
}

double fractalNoise(double u, double v, int basePeriod, int octaves, uint32_t seed)
{
  double sum = 0, weight = 1, total = 0;
  int period = basePeriod;
  for (int i = 0; i < octaves; ++i) {
    sum += periodicNoise(u * period, v * period, period, seed + i * 101) * weight;
    total += weight;
    weight *= 0.5;
    period *= 2;
  }
  return sum / total;
}
