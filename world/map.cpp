#include "world/map.h"

#include <algorithm>

#include "world/host.h"

cMap::cMap(cPoint mapSize)
    : size(mapSize), units(new cObjectList(true)), buildings(new cObjectList(true))
{
  for (auto& layer : layers) layer.reset(new cMapLayer(size));
}

cMap::~cMap() = default;

bool cMap::includes(cPoint p) const { return p.x >= 0 && p.x < size.x && p.y >= 0 && p.y < size.y; }

void cMap::placeTerrain(cPoint p, int kind) { layers[LAYER_TERRAIN]->place(p, kind); }
void cMap::fillTerrain(cRect r, int kind) { layers[LAYER_TERRAIN]->fill(r, kind); }
void cMap::fillObject(cRect r, int v) { layers[LAYER_OBJECTS]->fill(r, v); }
void cMap::setUnit(cPoint p, int v) { layers[LAYER_UNITS]->place(p, v); }
int cMap::getTerrain(cPoint p) const { return layers[LAYER_TERRAIN]->get(p); }
int cMap::getObject(cPoint p) const { return layers[LAYER_OBJECTS]->get(p); }
int cMap::getUnit(cPoint p) const { return layers[LAYER_UNITS]->get(p); }

bool cMap::isAvailObjects(cPoint pos, cPoint extent) const
{
  return layers[LAYER_OBJECTS]->isAvail(pos, extent);
}

bool cMap::isAvailUnits(cPoint pos, cPoint extent) const
{
  return layers[LAYER_UNITS]->isAvail(pos, extent);
}

void cMap::testMap() const
{
  hostLog("mapTerrain:");
  layers[LAYER_TERRAIN]->testMap();
  hostLog("mapObjects:");
  layers[LAYER_OBJECTS]->testMap();
}

void cMap::setToBuild(cPoint pos, int kind)
{
  if (!includes(pos)) return;
  toBuild.reset(new cBaseObject(kind, pos, cIsoPoint(0, 0, 0)));
}

void cMap::clearToBuild() { toBuild.reset(); }

bool cMap::addBuilding(cBaseObject* b) { return place(b, LAYER_OBJECTS, LAYER_UNITS, *buildings); }

bool cMap::addUnit(cBaseUnit* u) { return place(u, LAYER_UNITS, LAYER_OBJECTS, *units); }

bool cMap::place(cBaseObject* o, eMapLayers own, eMapLayers other, cObjectList& list)
{
  cPoint extent(o->myDim().x, o->myDim().y);
  if (!layers[own]->isAvail(o->myPosition(), extent)) return false;
  if (!layers[other]->isAvail(o->myPosition(), extent)) return false;
  layers[own]->fill(o->toRectArea(), 255);
  list.addElementPos(o);
  return true;
}

bool cMap::removeBuilding(cBaseObject* b) { return take(b, LAYER_OBJECTS, *buildings); }

bool cMap::removeUnit(cBaseUnit* u) { return take(u, LAYER_UNITS, *units); }

bool cMap::take(cBaseObject* o, eMapLayers own, cObjectList& list)
{
  // The footprint is cleared only for a listed object: another one may stand there now.
  if (!list.removeElement(o)) return false;
  layers[own]->fill(o->toRectArea(), 0);
  if (own == LAYER_UNITS) markUnitsOver(o->toRectArea());
  return true;
}

// Units may share cells (two players' units can step into one cell in the same turn): the
// cells one leaves stay marked for every other unit still standing on them.
void cMap::markUnitsOver(cRect area)
{
  int position = 1;
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext(), ++position) {
    const cRect r = n->myData()->toRectArea();
    const cRect both(std::max(r.left(), area.left()), std::max(r.top(), area.top()),
                     std::min(r.right(), area.right()), std::min(r.bottom(), area.bottom()));
    if (!both.isEmpty()) layers[LAYER_UNITS]->fill(both, position);
  }
}

cObjectListNode* cMap::findFootprint(const cObjectList& list, const cRect& r)
{
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext())
    if (n->myData()->toRectArea() == r) return n;
  return nullptr;
}

namespace {

cBaseObject* findObject(const cObjectList& list, cPoint p, bool anchorOnly)
{
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) {
    cBaseObject* o = n->myData();
    if (anchorOnly ? o->myPosition() == p : o->toRectArea().includes(p)) return o;
  }
  return nullptr;
}
}  // namespace

bool cMap::removeBuilding(cRect r) { return takeFootprint(r, LAYER_OBJECTS, *buildings); }

bool cMap::removeUnit(cRect r) { return takeFootprint(r, LAYER_UNITS, *units); }

bool cMap::takeFootprint(cRect r, eMapLayers own, cObjectList& list)
{
  cObjectListNode* n = findFootprint(list, r);
  if (!n) return false;
  list.removeElement(n);
  layers[own]->fill(r, 0);
  if (own == LAYER_UNITS) markUnitsOver(r);
  return true;
}

cBaseObject* cMap::getObjectAt(cPoint p) const
{
  cBaseObject* o = findObject(*buildings, p, false);
  return o ? o : findObject(*units, p, false);
}

cBaseObject* cMap::_getObject(cPoint p) const
{
  cBaseObject* o = findObject(*buildings, p, true);
  return o ? o : findObject(*units, p, true);
}

void cMap::applyDamage(int x, int y, int amount)
{
  cBaseObject* o = _getObject(cPoint(x, y));
  if (o) o->decrHealth(amount);
}

void cMap::applyDamage(cDamage* d, int cx, int cy)
{
  cMapLayer* m = d->getDamageMap();
  if (!m->isValid()) return;  // refused footprint: its reads of 255 are no damage
  int s = d->getSize();
  // Anchors lie on the map, so only the part of the square over the map can hit anything;
  // widened because a received centre may be any 32-bit value.
  long long iFrom = std::max<long long>(-s, -static_cast<long long>(cx));
  long long iTo = std::min<long long>(s, static_cast<long long>(size.x) - 1 - cx);
  long long jFrom = std::max<long long>(-s, -static_cast<long long>(cy));
  long long jTo = std::min<long long>(s, static_cast<long long>(size.y) - 1 - cy);
  for (long long i = iFrom; i <= iTo; ++i)
    for (long long j = jFrom; j <= jTo; ++j)
      applyDamage(int(cx + i), int(cy + j), m->get(cPoint(int(s + i), int(s + j))));
}

void cMap::clearObjects() { buildings.reset(new cObjectList(true)); }

void renumberOccupancy(cMap& map)
{
  int position = 1;
  for (cObjectListNode* n = map.getBuildings()->getFirstNode(); n; n = n->getNext())
    map.fillObject(n->myData()->toRectArea(), position++);
  position = 1;
  for (cObjectListNode* n = map.getUnits()->getFirstNode(); n; n = n->getNext())
    map.getLayer(LAYER_UNITS)->fill(n->myData()->toRectArea(), position++);
}
