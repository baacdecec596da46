#include "support/testgames.h"

#include "world/changerules.h"
#include "world/map.h"

int fillTestGame(cMap& map, int objects)
{
  const cPoint size = map.getMaxPos();
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x) map.placeTerrain(cPoint(x, y), (x * 7 + y * 13) % 128);
  int placed = 0;
  const int columns = size.x / 4;
  for (int i = 0; i < objects && columns > 0; ++i) {
    const int slot = i / 2;
    const cPoint corner(4 * (slot % columns), 4 * (slot / columns));
    const long owner = i % 4;  // never -1: a game takes such an object for destroyed
    bool joined;
    if (i % 2 == 0) {
      const cBaseObject b(i % 6, owner, corner, cIsoPoint(2, 2, 0), 1 + i % 700);
      joined = applyCreateBuilding(map, b);
    } else {
      const cBaseUnit u(i % 3, owner, corner + cPoint(3, 3), cIsoPoint(1, 1, 0), 1 + i % 90);
      joined = applyCreateUnit(map, u);
    }
    placed += joined ? 1 : 0;
  }
  return placed;
}
