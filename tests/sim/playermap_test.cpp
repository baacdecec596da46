#include "sim/playermap.h"

#include <gtest/gtest.h>

namespace {
cBaseObject* building(int x, int y) { return new cBaseObject(1, cPoint(x, y), cIsoPoint(1, 1), 9); }
cBaseUnit* unit(int x, int y) { return new cBaseUnit(1, cPoint(x, y), cIsoPoint(1, 1), 9); }

// An object is in the selection exactly when its flag is set.
void expectInvariant(const cPlayerMap& map)
{
  for (cObjectList* list : {map.getBuildings(), map.getUnits()}) {
    for (cObjectListNode* n = list->getFirstNode(); n; n = n->getNext()) {
      int found = 0;
      for (cObjectListNode* s = map.getSelectionList().getFirstNode(); s; s = s->getNext())
        found += s->myData() == n->myData();
      EXPECT_EQ(found, n->myData()->isSelected() ? 1 : 0);
    }
  }
}
}  // namespace

TEST(PlayerMap, CellsResolveThroughTheOccupancyNumbers)
{
  cPlayerMap map(cPoint(10, 10));
  cBaseObject* b[3] = {building(1, 1), building(3, 3), building(6, 6)};
  for (cBaseObject* o : b) ASSERT_TRUE(map.addBuilding(o));
  cBaseUnit* u = unit(8, 1);
  ASSERT_TRUE(map.addUnit(u));
  // Freshly added: 255 runs past the three-building list.
  EXPECT_EQ(map.getSelection(cPoint(1, 1)), nullptr);
  map.fillObject(cRect(6, 6, 7, 7), 3);
  map.setUnit(cPoint(6, 6), 1);  // a unit number under the building does not matter
  EXPECT_EQ(map.getSelection(cPoint(6, 6)), b[2]);
  map.fillObject(cRect(1, 1, 2, 2), -2);  // 1 or less: the first building
  EXPECT_EQ(map.getSelection(cPoint(1, 1)), b[0]);
  map.setUnit(cPoint(8, 1), 1);
  EXPECT_EQ(map.getSelection(cPoint(8, 1)), u);
  EXPECT_EQ(map.getSelection(cPoint(5, 5)), nullptr);
  EXPECT_EQ(map.getSelection(cPoint(10, 1)), nullptr);
  EXPECT_EQ(map.getSelection(cPoint(-1, 1)), nullptr);
}

TEST(PlayerMap, A255MarkFindsThe255thBuilding)
{
  cPlayerMap map(cPoint(16, 16));
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(map.addBuilding(building(i % 16, i / 16)));
  cObjectListNode* n = map.getBuildings()->getFirstNode();
  for (int i = 1; i < 255; ++i) n = n->getNext();
  EXPECT_EQ(map.getSelection(cPoint(0, 0)), n->myData());
}

TEST(PlayerMap, ClickingTogglesAndKeepsTheInvariant)
{
  cPlayerMap map(cPoint(10, 10));
  cBaseUnit* u = unit(2, 2);
  cBaseObject* b = building(5, 5);
  ASSERT_TRUE(map.addUnit(u));
  ASSERT_TRUE(map.addBuilding(b));
  map.setUnit(cPoint(2, 2), 1);
  map.fillObject(cRect(5, 5, 6, 6), 1);
  EXPECT_EQ(map.lastSelection(), nullptr);
  EXPECT_EQ(map.addSelection(cPoint(2, 2)), u);
  EXPECT_TRUE(map.hasSelection());
  EXPECT_EQ(map.addSelection(cPoint(5, 5)), b);
  EXPECT_EQ(map.lastSelection(), b);
  expectInvariant(map);
  EXPECT_EQ(map.addSelection(cPoint(2, 2)), nullptr);  // second click unselects
  EXPECT_FALSE(u->isSelected());
  EXPECT_EQ(map.getSelectionList().number(), 1);
  EXPECT_EQ(map.addSelection(cPoint(7, 7)), nullptr);
  expectInvariant(map);
  map.addSelection(b);  // already selected: not listed twice
  map.removeSelection(u);
  EXPECT_EQ(map.getSelectionList().number(), 1);
  map.removeSelection(b);
  EXPECT_FALSE(map.hasSelection());
  expectInvariant(map);
}

TEST(PlayerMap, ClearingUnselectsEverything)
{
  cPlayerMap map(cPoint(10, 10));
  cBaseUnit* u = unit(2, 2);
  cBaseObject* b = building(5, 5);
  ASSERT_TRUE(map.addUnit(u));
  ASSERT_TRUE(map.addBuilding(b));
  map.addSelection(u);
  map.addSelection(b);
  map.addSelection(nullptr);
  map.clearSelection();
  EXPECT_FALSE(map.hasSelection());
  EXPECT_FALSE(u->isSelected());
  EXPECT_FALSE(b->isSelected());
  EXPECT_EQ(map.getSearchLayer()->myMaxPos(), cPoint(10, 10));
  EXPECT_EQ(map.getSearchLayer()->get(cPoint(9, 9)), 0);
}
