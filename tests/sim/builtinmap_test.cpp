#include "sim/builtinmap.h"

#include <gtest/gtest.h>

#include "world/testcatalogue.h"

TEST(BuiltinMap, TerrainCrossAndTestRows)
{
  cMap map(cPoint(100, 100));
  map.fillObject(cRect(0, 0, 100, 100), 9);
  setBuiltinTerrain(map);
  EXPECT_EQ(map.getTerrain(cPoint(49, 99)), 2);
  EXPECT_EQ(map.getTerrain(cPoint(99, 49)), 2);
  EXPECT_EQ(map.getTerrain(cPoint(48, 48)), 1);
  EXPECT_EQ(map.getTerrain(cPoint(50, 50)), 1);
  EXPECT_EQ(map.getTerrain(cPoint(2, 2)), 2);
  EXPECT_EQ(map.getTerrain(cPoint(3, 2)), 1);
  EXPECT_EQ(map.getTerrain(cPoint(19, 1)), 2);
  EXPECT_EQ(map.getTerrain(cPoint(9, 2)), 3);
  EXPECT_EQ(map.getTerrain(cPoint(10, 2)), 1);
  EXPECT_EQ(map.getTerrain(cPoint(19, 3)), 4);
  EXPECT_EQ(map.getTerrain(cPoint(5, 4)), 5);
  EXPECT_EQ(map.getTerrain(cPoint(5, 5)), 6);
  EXPECT_EQ(map.getTerrain(cPoint(5, 6)), 1);
  EXPECT_EQ(map.getTerrain(cPoint(19, 7)), 7);
  EXPECT_EQ(map.getTerrain(cPoint(9, 8)), 8);
  EXPECT_EQ(map.getObject(cPoint(50, 50)), 0);
}

TEST(BuiltinMap, SixBuildingsAndFourUnitsOfTheOwner)
{
  ScopedCatalogue catalogue;
  cMap map(cPoint(100, 100));
  loadBuiltinMap(map, 3);
  ASSERT_EQ(map.getBuildings()->number(), 6);
  ASSERT_EQ(map.getUnits()->number(), 4);
  for (cObjectList* list : {map.getBuildings(), map.getUnits()})
    for (cObjectListNode* n = list->getFirstNode(); n; n = n->getNext())
      EXPECT_EQ(n->myData()->getPlayerID(), 3);
  EXPECT_EQ(map._getObject(cPoint(6, 6))->myID(), 4);
  EXPECT_EQ(map._getObject(cPoint(6, 6))->myDim().x, 3);
  EXPECT_EQ(map.getObject(cPoint(8, 8)), 255);
  EXPECT_EQ(map.getObject(cPoint(31, 7)), 255);
  EXPECT_EQ(map.getUnit(cPoint(14, 15)), 255);
  EXPECT_EQ(map.getUnit(cPoint(18, 70)), 255);
  EXPECT_EQ(map._getObject(cPoint(74, 75))->getHealth(), 20);  // half of the unit's 40
}
