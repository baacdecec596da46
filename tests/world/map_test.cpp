#include "world/map.h"
#include "testcatalogue.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
int layerSum(const cMap& map, eMapLayers l)
{
  const cMapLayer* layer = map.getLayer(l);
  long long s = 0;
  for (int i = 0; i < layer->cellCount(); ++i) s += layer->get(long(i));
  return int(s);
}

cBaseObject* building(int x, int y, int w, int h, int health = 50)
{
  return new cBaseObject(1, cPoint(x, y), cIsoPoint(w, h), health);
}

cBaseUnit* unit(int x, int y, int health = 20)
{
  return new cBaseUnit(1, cPoint(x, y), cIsoPoint(1, 1), health);
}
}  // namespace

TEST(Map, AddMarksFootprintsAndKeepsDrawOrder)
{
  cMap map(cPoint(10, 10));
  ASSERT_TRUE(map.addBuilding(building(4, 4, 2, 2)));
  ASSERT_TRUE(map.addBuilding(building(1, 1, 2, 2)));
  ASSERT_TRUE(map.addUnit(unit(8, 8)));
  EXPECT_EQ(layerSum(map, LAYER_OBJECTS), 8 * 255);
  EXPECT_EQ(map.getObject(cPoint(5, 5)), 255);
  EXPECT_EQ(map.getObject(cPoint(6, 6)), 0);
  EXPECT_EQ(map.getUnit(cPoint(8, 8)), 255);
  EXPECT_EQ(map.getBuildings()->getFirstNode()->myData()->myPosition(), cPoint(1, 1));
  EXPECT_EQ(map.getUnits()->number(), 1);
}

TEST(Map, RefusedAddsChangeNothing)
{
  cMap map(cPoint(10, 10));
  ASSERT_TRUE(map.addUnit(unit(3, 3)));
  ASSERT_TRUE(map.addBuilding(building(6, 6, 2, 2)));
  cBaseObject* overUnit = building(2, 2, 2, 2);
  cBaseObject* overEdge = building(9, 0, 2, 1);
  cBaseObject* overBuilding = building(7, 7, 2, 2);
  cBaseUnit* unitOnBuilding = unit(7, 6);
  cBaseUnit* unitOnUnit = unit(3, 3);
  cBaseUnit* unitOffMap = unit(-1, 0);
  EXPECT_FALSE(map.addBuilding(overUnit));
  EXPECT_FALSE(map.addBuilding(overEdge));
  EXPECT_FALSE(map.addBuilding(overBuilding));
  EXPECT_FALSE(map.addUnit(unitOnBuilding));
  EXPECT_FALSE(map.addUnit(unitOnUnit));
  EXPECT_FALSE(map.addUnit(unitOffMap));
  EXPECT_EQ(layerSum(map, LAYER_OBJECTS), 4 * 255);
  EXPECT_EQ(layerSum(map, LAYER_UNITS), 255);
  EXPECT_EQ(map.getBuildings()->number(), 1);
  EXPECT_EQ(map.getUnits()->number(), 1);
  for (cBaseObject* o : {overUnit, overEdge, overBuilding}) delete o;
  for (cBaseUnit* u : {unitOnBuilding, unitOnUnit, unitOffMap}) delete u;
}

TEST(Map, RemoveByObjectClearsOnlyListedFootprints)
{
  cMap map(cPoint(10, 10));
  cBaseObject* b = building(2, 2, 2, 2);
  cBaseUnit* u = unit(7, 7);
  ASSERT_TRUE(map.addBuilding(b));
  ASSERT_TRUE(map.addUnit(u));
  // An object that is not on the map must not wipe the building standing where it claims.
  cBaseObject ghost(1, cPoint(2, 2), cIsoPoint(2, 2), 5);
  EXPECT_FALSE(map.removeBuilding(&ghost));
  EXPECT_EQ(layerSum(map, LAYER_OBJECTS), 4 * 255);
  EXPECT_TRUE(map.removeBuilding(b));
  EXPECT_TRUE(map.removeUnit(u));
  EXPECT_EQ(layerSum(map, LAYER_OBJECTS), 0);
  EXPECT_EQ(layerSum(map, LAYER_UNITS), 0);
  EXPECT_TRUE(map.getBuildings()->isEmpty());
  EXPECT_FALSE(map.removeBuilding(b));
  delete b;  // removal leaves the objects to their owner
  delete u;
}

TEST(Map, RemoveByFootprintNeedsAnExactMatch)
{
  cMap map(cPoint(10, 10));
  ASSERT_TRUE(map.addBuilding(building(2, 2, 2, 2)));
  ASSERT_TRUE(map.addUnit(unit(6, 6)));
  EXPECT_FALSE(map.removeBuilding(cRect(2, 2, 3, 3)));
  EXPECT_FALSE(map.removeBuilding(cRect(1, 1, 4, 4)));
  EXPECT_FALSE(map.removeBuilding(cRect(6, 6, 7, 7)));
  EXPECT_EQ(map.getBuildings()->number(), 1);
  cBaseObject* b = map.getBuildings()->getFirstNode()->myData();
  cBaseObject* u = map.getUnits()->getFirstNode()->myData();
  EXPECT_TRUE(map.removeBuilding(cRect(2, 2, 4, 4)));
  EXPECT_TRUE(map.removeUnit(cRect(6, 6, 7, 7)));
  EXPECT_EQ(layerSum(map, LAYER_OBJECTS) + layerSum(map, LAYER_UNITS), 0);
  EXPECT_TRUE(map.getUnits()->isEmpty());
  delete b;
  delete u;
}

TEST(Map, FindingObjectsByFootprintAndByAnchor)
{
  cMap map(cPoint(10, 10));
  cBaseObject* b = building(2, 2, 2, 2);
  cBaseUnit* u = unit(5, 5);
  ASSERT_TRUE(map.addBuilding(b));
  ASSERT_TRUE(map.addUnit(u));
  EXPECT_EQ(map.getObjectAt(cPoint(3, 3)), b);
  EXPECT_EQ(map.getObjectAt(cPoint(5, 5)), u);
  EXPECT_EQ(map.getObjectAt(cPoint(4, 4)), nullptr);
  EXPECT_EQ(map._getObject(cPoint(2, 2)), b);
  EXPECT_EQ(map._getObject(cPoint(3, 3)), nullptr);
  EXPECT_EQ(map._getObject(cPoint(5, 5)), u);
}

TEST(Map, DamageDiscReachesOnlyAnchorsUnderIt)
{
  cMap map(cPoint(12, 12));
  const cPoint plus[] = {cPoint(5, 5), cPoint(4, 5), cPoint(6, 5), cPoint(5, 4), cPoint(5, 6)};
  const cPoint corners[] = {cPoint(4, 4), cPoint(6, 4), cPoint(4, 6), cPoint(6, 6)};
  for (cPoint p : plus) ASSERT_TRUE(map.addUnit(unit(p.x, p.y)));
  for (cPoint p : corners) ASSERT_TRUE(map.addUnit(unit(p.x, p.y)));
  cDamage shot(7, 1);
  map.applyDamage(&shot, 5, 5);
  for (cPoint p : plus) EXPECT_EQ(map._getObject(p)->getHealth(), 13) << p.x << "," << p.y;
  for (cPoint p : corners) EXPECT_EQ(map._getObject(p)->getHealth(), 20) << p.x << "," << p.y;
}

TEST(Map, DamageMissesABuildingWhoseAnchorIsOutsideTheDisc)
{
  cMap map(cPoint(12, 12));
  cBaseObject* tall = building(5, 3, 1, 2);  // (5, 4) lies under a disc on (5, 5)
  ASSERT_TRUE(map.addBuilding(tall));
  cDamage shot(7, 1);
  map.applyDamage(&shot, 5, 5);
  EXPECT_EQ(tall->getHealth(), 50);
  map.applyDamage(&shot, 5, 4);
  EXPECT_EQ(tall->getHealth(), 43);
}

TEST(Map, DamageAtTheEdgeAndFarOffTheMap)
{
  cMap map(cPoint(6, 6));
  ASSERT_TRUE(map.addUnit(unit(0, 0)));
  ASSERT_TRUE(map.addUnit(unit(5, 5)));
  cDamage big(3, 2);
  map.applyDamage(&big, 0, 0);
  map.applyDamage(&big, INT_MAX, INT_MIN);
  map.applyDamage(&big, 7, 5);
  EXPECT_EQ(map._getObject(cPoint(0, 0))->getHealth(), 17);
  EXPECT_EQ(map._getObject(cPoint(5, 5))->getHealth(), 17);
  cDamage refused(3, 1 << 30);
  map.applyDamage(&refused, 2, 2);
  EXPECT_EQ(map._getObject(cPoint(0, 0))->getHealth(), 17);
  map.applyDamage(0, 0, 17);  // the anchor form: destroys
  EXPECT_EQ(map._getObject(cPoint(0, 0))->getPlayerID(), -1);
}

TEST(Map, PreviewAndClearingBuildings)
{
  ScopedCatalogue catalogue;
  cMap map(cPoint(10, 10));
  map.setToBuild(cPoint(10, 3), 2);
  EXPECT_EQ(map.getToBuild(), nullptr);
  map.setToBuild(cPoint(3, 3), 2);
  ASSERT_NE(map.getToBuild(), nullptr);
  EXPECT_EQ(map.getToBuild()->getHealth(), 200);
  EXPECT_EQ(map.getToBuild()->myDim(), cIsoPoint(0, 0, 0));
  map.setToBuild(cPoint(4, 4), 1);
  EXPECT_EQ(map.getToBuild()->myPosition(), cPoint(4, 4));
  map.clearToBuild();
  EXPECT_EQ(map.getToBuild(), nullptr);
  ASSERT_TRUE(map.addBuilding(building(1, 1, 1, 1)));
  ASSERT_TRUE(map.addUnit(unit(5, 5)));
  map.clearObjects();
  EXPECT_TRUE(map.getBuildings()->isEmpty());
  EXPECT_EQ(map.getUnits()->number(), 1);
}
