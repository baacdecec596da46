#include "sim/builtinmap.h"

#include "world/host.h"
#include "world/metadatabase.h"

namespace {
cIsoPoint buildingSize(int kind)
{
  bool known = metaList && kind >= 0 && kind < metaList->retrieveMaxObjects();
  return known ? metaList->retrieveObjectSize(kind) : cIsoPoint();
}

cIsoPoint unitSize(int kind)
{
  bool known = metaList && kind >= 0 && kind < metaList->retrieveMaxUnits();
  return known ? metaList->retrieveUnitSize(kind) : cIsoPoint();
}
}  // namespace

void setBuiltinTerrain(cMap& map)
{
  hostLog("Loading Map...\n");
  map.fillTerrain(cRect(0, 0, 100, 100), 1);
  map.fillTerrain(cRect(49, 0, 50, 100), 2);
  map.fillTerrain(cRect(0, 49, 100, 50), 2);
  map.fillObject(cRect(0, 0, 100, 100), 0);
  hostLog("Terrain Map Drawing:\n");
  map.fillTerrain(cRect(0, 0, 5, 10), 1);
  map.fillTerrain(cRect(5, 1, 20, 2), 2);
  map.fillTerrain(cRect(5, 2, 10, 3), 3);
  map.fillTerrain(cRect(5, 3, 20, 4), 4);
  map.fillTerrain(cRect(5, 4, 10, 5), 5);
  map.fillTerrain(cRect(5, 5, 10, 6), 6);
  map.fillTerrain(cRect(5, 7, 20, 8), 7);
  map.fillTerrain(cRect(5, 8, 10, 9), 8);
  map.placeTerrain(cPoint(2, 2), 2);
  hostLog("End Load Map...\n\n");
}

void loadBuiltinMap(cMap& map, long owner)
{
  setBuiltinTerrain(map);
  hostLog("Object Map Drawing:\n");
  const struct {
    int kind, x, y;
  } buildings[] = {{2, 1, 3}, {1, 1, 6}, {3, 3, 2}, {4, 6, 6}, {5, 10, 5}, {1, 30, 6}};
  for (const auto& b : buildings) {
    cBaseObject* o = new cBaseObject(b.kind, owner, cPoint(b.x, b.y), buildingSize(b.kind));
    if (!map.addBuilding(o)) delete o;
  }
  const cPoint unitCells[] = {cPoint(15, 15), cPoint(14, 15), cPoint(74, 75), cPoint(18, 70)};
  for (const cPoint& cell : unitCells) {
    cBaseUnit* u = new cBaseUnit(1, owner, cell, unitSize(1));
    if (!map.addUnit(u)) delete u;
  }
}
