#ifndef KORVANE_TESTS_WORLD_TESTCATALOGUE_H
#define KORVANE_TESTS_WORLD_TESTCATALOGUE_H
// A small catalogue installed in metaList for one test's lifetime.
#include <vector>

#include "world/metadatabase.h"

struct TestKind {
  int sizeX, sizeY, hitPoints, damage, areaEffect, fireRate;
};

inline cMetaDataItem makeItem(const char* desc, const TestKind& k)
{
  cMetaDataItem item;
  item.description = desc;
  item.size = cIsoPoint(k.sizeX, k.sizeY, 1);
  item.hitPoints = k.hitPoints;
  item.damage = k.damage;
  item.areaEffect = k.areaEffect;
  item.fireRate = k.fireRate;
  return item;
}

// Buildings 0-5 (sizes 2 x 2 but kind 4 and 5, which are 3 x 3); units 0-2 of one cell,
// unit 1 with 40 hit points, damage 7, area 1, fire rate 2; unit 2 fires every turn; unit 3
// a wagon two cells long in x.
class ScopedCatalogue {
public:
  ScopedCatalogue() : db(terrains(), buildings(), units()), previous(useCatalogue(&db)) {}
  ~ScopedCatalogue() { useCatalogue(previous); }

private:
  static std::vector<cMetaDataItem> terrains() { return {cMetaDataItem(), cMetaDataItem()}; }
  static std::vector<cMetaDataItem> buildings()
  {
    return {makeItem("none", {1, 1, 10, 0, 0, 0}),      makeItem("Hut", {2, 2, 100, 0, 0, 0}),
            makeItem("Barracks", {2, 2, 200, 0, 0, 0}), makeItem("Farm", {2, 2, 50, 0, 0, 0}),
            makeItem("Tower", {3, 3, 300, 0, 0, 0}),    makeItem("Keep", {3, 3, 500, 0, 0, 0})};
  }
  static std::vector<cMetaDataItem> units()
  {
    return {makeItem("nobody", {1, 1, 8, 0, 0, 0}), makeItem("Soldier", {1, 1, 40, 7, 1, 2}),
            makeItem("Archer", {1, 1, 30, 3, 0, 0}), makeItem("Wagon", {2, 1, 60, 0, 0, 0})};
  }

public:
  cMetaDatabase db;

private:
  cMetaDatabase* previous;
};

#endif
