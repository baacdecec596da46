#ifndef KORVANE_WORLD_DAMAGEMAP_H
#define KORVANE_WORLD_DAMAGEMAP_H
// One shot: the damage each object in the area takes (level) and the area's radius in
// cells (size). The footprint is a filled disc rendered on request.
#include "world/maplayer.h"

class cDamage {
public:
  cDamage() = default;
  cDamage(int level, int size) : level(level), size(size) {}
  ~cDamage();
  // Copies level and size; the rendered footprint is not shared (it is drawn anew anyway).
  cDamage(const cDamage& other) : level(other.level), size(other.size) {}
  cDamage& operator=(const cDamage& other);

  int getLevel() const { return level; }
  int getSize() const { return size; }
  // Renders the (2 size + 1)-square footprint anew, freeing the previous one; the layer
  // stays owned by this object. Invalid (reads 255) when size is outside 0..2047.
  cMapLayer* getDamageMap();
  // Writes value into row y of the footprint at columns x1..x2, both included.
  void hLine(int x1, int y, int x2, int value);

private:
  int level = 0;
  int size = 0;
  cMapLayer* map = nullptr;  // owned
};

#endif
