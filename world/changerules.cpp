#include "world/changerules.h"

namespace {

bool whollyOnMap(const cMap& map, const cRect& r)
{
  const cPoint size = map.getMaxPos();
  return !r.isEmpty() && r.left() >= 0 && r.top() >= 0 && r.right() <= size.x &&
         r.bottom() <= size.y;
}

// 1-based list position of the first unit anchored at cell, or 0.
int unitAt(const cObjectList& list, cPoint cell, cBaseUnit*& found)
{
  int position = 1;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext(), ++position) {
    if (n->myData()->myPosition() == cell) {
      found = static_cast<cBaseUnit*>(n->myData());
      return position;
    }
  }
  return 0;
}

}  // namespace

bool applyMove(cMap& map, cPoint from, cPoint to)
{
  cBaseUnit* u = nullptr;
  const int position = unitAt(*map.getUnits(), from, u);
  if (!u || !applyStep(map, *u, position, to)) return false;
  map.getUnits()->removeElement(u);
  map.getUnits()->addElementPos(u);
  return true;
}

bool applyStep(cMap& map, cBaseUnit& u, int listPosition, cPoint to)
{
  const cRect left = u.toRectArea();
  const cRect reached(to, to + (left.bottomRight - left.topLeft));
  // No unit walks off the map, not even in part; a destination there could only come from a
  // damaged frame.
  if (!whollyOnMap(map, reached)) return false;
  map.getLayer(LAYER_UNITS)->fill(left, 0);
  u.move(to);
  map.markUnitsOver(left);
  map.getLayer(LAYER_UNITS)->fill(reached, listPosition);
  return true;
}

bool applyPaint(cMap& map, cRect area, int kind)
{
  if (kind < 0 || kind > maxTerrainKind) return false;
  map.fillTerrain(area, kind);  // the fill visits only the part of the area on the map
  return true;
}

// Checked before the layers are asked, so that a hostile extent costs nothing.
bool applyCreateUnit(cMap& map, const cBaseUnit& model)
{
  if (!whollyOnMap(map, model.toRectArea())) return false;
  auto u = std::make_unique<cBaseUnit>();
  u->copy(&model);
  return map.addUnit(u.get()) && u.release();
}

bool applyCreateBuilding(cMap& map, const cBaseObject& model)
{
  if (!whollyOnMap(map, model.toRectArea())) return false;
  auto b = std::make_unique<cBaseObject>();
  b->copy(&model);
  return map.addBuilding(b.get()) && b.release();
}

bool applyHealthChange(cMap& map, cPoint pos, int kind, int change)
{
  cBaseObject* o = map._getObject(pos);
  if (!o || o->myID() != kind) return false;
  o->decrHealth(change);
  return true;
}

// Any radius beyond width + height covers the whole map from a centre on it, so the
// footprint never needs to be larger than that.
bool applyBlast(cMap& map, cPoint centre, int level, int size)
{
  if (!map.includes(centre)) return false;
  const int reach = map.getMaxPos().x + map.getMaxPos().y;
  cDamage effect(level, size < reach ? size : reach);
  map.applyDamage(&effect, centre.x, centre.y);
  return true;
}

std::unique_ptr<cBaseObject> applyRemove(cMap& map, cRect area)
{
  if (cObjectListNode* n = cMap::findFootprint(*map.getBuildings(), area)) {
    cBaseObject* b = n->myData();
    map.removeBuilding(b);
    return std::unique_ptr<cBaseObject>(b);
  }
  if (cObjectListNode* n = cMap::findFootprint(*map.getUnits(), area)) {
    auto u = static_cast<cBaseUnit*>(n->myData());
    map.removeUnit(u);
    return std::unique_ptr<cBaseObject>(u);
  }
  return nullptr;
}
