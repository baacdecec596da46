#ifndef KORVANE_SIM_PLAYERMAP_H
#define KORVANE_SIM_PLAYERMAP_H
// The map as the local player holds it: the game map plus the player's selection and the
// scratch layer handed to path searches.
#include "world/map.h"

class cPlayerMap : public cMap {
public:
  explicit cPlayerMap(cPoint size);
  ~cPlayerMap() override = default;

  // The object on cell p through the occupancy numbers (buildings first), or null.
  cBaseObject* getSelection(cPoint p) const;
  // Toggles the object on p; answers it when it became selected, else null.
  cBaseObject* addSelection(cPoint p);
  void addSelection(cBaseObject* o);
  void removeSelection(cBaseObject* o);
  void clearSelection();
  bool hasSelection() const { return !selection.isEmpty(); }
  cBaseObject* lastSelection() const;
  const cObjectList& getSelectionList() const { return selection; }
  cMapLayer* getSearchLayer() { return &searchLayer; }

protected:
  cObjectList selection;  // not owning; in the order selected
  cMapLayer searchLayer;  // map size, all 0 unless someone writes it
};

#endif
