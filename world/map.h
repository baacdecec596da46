#ifndef KORVANE_WORLD_MAP_H
#define KORVANE_WORLD_MAP_H
// The game map: five layers of one size (cells), the unit and building lists that own
// their objects, and the optional building preview. Occupancy layers hold 0 for free,
// 255 for a fresh footprint, otherwise the occupant's 1-based position in its list.
#include <memory>

#include "world/cunit.h"
#include "world/damagemap.h"
#include "world/maplayer.h"
#include "world/pointutil.h"

enum eMapLayers {
  LAYER_TERRAIN = 0,
  LAYER_OBJECTS = 1,
  LAYER_UNITS = 2,
  LAYER_BUILD = 3,
  LAYER_SELECTION = 4,
};

class cMap {
public:
  explicit cMap(cPoint size);
  virtual ~cMap();
  cMap(const cMap&) = delete;
  cMap& operator=(const cMap&) = delete;

  cPoint getMaxPos() const { return size; }
  bool includes(cPoint p) const;

  cMapLayer* getLayer(eMapLayers l) const { return layers[l].get(); }
  cObjectList* getUnits() const { return units.get(); }
  cObjectList* getBuildings() const { return buildings.get(); }

  void placeTerrain(cPoint p, int kind);
  void fillTerrain(cRect r, int kind);
  void fillObject(cRect r, int v);
  void setUnit(cPoint p, int v);
  int getTerrain(cPoint p) const;
  int getObject(cPoint p) const;
  int getUnit(cPoint p) const;
  bool isAvailObjects(cPoint pos, cPoint extent) const;
  bool isAvailUnits(cPoint pos, cPoint extent) const;
  void testMap() const;

  // The preview building (owned), or null.
  void setToBuild(cPoint pos, int kind);
  void clearToBuild();
  cBaseObject* getToBuild() const { return toBuild.get(); }

  // On success the map owns the object; on false nothing changed and the caller keeps it.
  bool addUnit(cBaseUnit* u);
  bool addBuilding(cBaseObject* b);
  // Take the object off its layer and out of its list; the object is not freed. Cells of a
  // unit's footprint that another unit shares stay marked.
  bool removeUnit(cBaseUnit* u);
  bool removeBuilding(cBaseObject* b);
  // The first object whose footprint equals r exactly.
  bool removeUnit(cRect r);
  bool removeBuilding(cRect r);

  // Marks the cells of area where a unit stands with its list position; other cells of area
  // are left as they are.
  void markUnitsOver(cRect area);

  cBaseObject* getObjectAt(cPoint p) const;  // any footprint cell
  cBaseObject* _getObject(cPoint p) const;   // anchor cell only
  void applyDamage(int x, int y, int amount);
  void applyDamage(cDamage* d, int cx, int cy);  // the footprint centred on (cx, cy)
  void clearObjects();                           // frees every building; units stay

  // The first node whose object's footprint equals r exactly, or null.
  static cObjectListNode* findFootprint(const cObjectList& list, const cRect& r);

protected:
  cPoint size;
  std::unique_ptr<cObjectList> units;
  std::unique_ptr<cObjectList> buildings;
  std::unique_ptr<cBaseObject> toBuild;
  std::unique_ptr<cMapLayer> layers[5];

private:
  // own: the layer the object occupies; other: the layer that must be free there too.
  bool place(cBaseObject* o, eMapLayers own, eMapLayers other, cObjectList& list);
  bool take(cBaseObject* o, eMapLayers own, cObjectList& list);
  bool takeFootprint(cRect r, eMapLayers own, cObjectList& list);
};

// Writes every building's and every unit's 1-based list position over its footprint on the
// occupancy layers, as the view does before each picture; free cells stay 0.
void renumberOccupancy(cMap& map);

#endif
