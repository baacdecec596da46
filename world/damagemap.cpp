#include "world/damagemap.h"

namespace {
// Larger footprints are refused rather than allocated: 4095² cells is already 64 MB.
constexpr long long kMaxSide = 4095;
}  // namespace

cDamage::~cDamage() { delete map; }

cDamage& cDamage::operator=(const cDamage& other)
{
  if (this == &other) return *this;
  level = other.level;
  size = other.size;
  delete map;
  map = nullptr;
  return *this;
}

void cDamage::hLine(int x1, int y, int x2, int value)
{
  for (int x = x1; x <= x2; ++x) map->place(cPoint(x, y), value);
}

cMapLayer* cDamage::getDamageMap()
{
  delete map;
  long long n = 2LL * size + 1;
  map = new cMapLayer(n > 0 && n <= kMaxSide ? cPoint(int(n), int(n)) : cPoint());
  if (!map->isValid()) return map;
  // Midpoint circle, filling the horizontal spans of all eight octants.
  int c = size, x = size, y = 0;
  int d = 1 - size, dE = 3, dSE = 5 - 2 * size;
  do {
    hLine(c - x, c - y, c + x, level);
    if (y != 0) hLine(c - x, c + y, c + x, level);
    if (d >= 0) {
      if (y != x) {
        hLine(c - y, c - x, c + y, level);
        if (x != 0) hLine(c - y, c + x, c + y, level);
      }
      d += dSE;
      dE += 2;
      dSE += 4;
      x -= 1;
    } else {
      d += dE;
      dE += 2;
      dSE += 2;
    }
    y += 1;
  } while (y <= x);
  return map;
}
