// The change rules on a 10 x 10 map without a catalogue (as the server holds it): a 2 x 2
// building of kind 3 at (2, 2) with 50 hit points, a unit of kind 1 at (6, 6) with 30.
#include <gtest/gtest.h>

#include <functional>

#include "world/changerules.h"

namespace {

struct RulesMap {
  RulesMap()
  {
    map.addBuilding(new cBaseObject(3, 0, cPoint(2, 2), cIsoPoint(2, 2, 1), 50));
    map.addUnit(new cBaseUnit(1, 0, cPoint(6, 6), cIsoPoint(1, 1, 1), 30));
  }
  cBaseObject* building() const { return map.getBuildings()->getFirstNode()->myData(); }
  cBaseObject* unit() const { return map.getUnits()->getFirstNode()->myData(); }
  cMap map{cPoint(10, 10)};
};

struct RuleCase {
  const char* what;
  std::function<bool(cMap&)> apply;
  bool changed;
  std::function<bool(const RulesMap&)> holds;
};

}  // namespace

TEST(Rules, EachRuleBoundsItsFiguresByTheMap)
{
  const RuleCase cases[] = {
      {"move within the map", [](cMap& m) { return applyMove(m, cPoint(6, 6), cPoint(9, 9)); },
       true,
       [](const RulesMap& r) {
         return r.unit()->myPosition() == cPoint(9, 9) && r.map.getUnit(cPoint(9, 9)) == 1 &&
                r.map.getUnit(cPoint(6, 6)) == 0;
       }},
      {"move off the map", [](cMap& m) { return applyMove(m, cPoint(6, 6), cPoint(10, 9)); }, false,
       [](const RulesMap& r) { return r.unit()->myPosition() == cPoint(6, 6); }},
      {"move of a 1 x 3 unit into the last rows",
       [](cMap& m) {
         applyCreateUnit(m, cBaseUnit(1, 0, cPoint(0, 5), cIsoPoint(1, 3, 0), 9));
         return applyMove(m, cPoint(0, 5), cPoint(0, 8));
       },
       false, [](const RulesMap& r) { return r.map.getUnit(cPoint(0, 7)) != 0; }},
      {"move of no unit", [](cMap& m) { return applyMove(m, cPoint(5, 5), cPoint(1, 1)); }, false,
       [](const RulesMap& r) { return r.map.getUnit(cPoint(1, 1)) == 0; }},
      {"paint cut to the map",
       [](cMap& m) { return applyPaint(m, cRect(8, 8, 65535, 65535), maxTerrainKind); }, true,
       [](const RulesMap& r) {
         return r.map.getTerrain(cPoint(9, 9)) == 127 && r.map.getTerrain(cPoint(7, 7)) == 0;
       }},
      {"paint a download cannot carry",
       [](cMap& m) { return applyPaint(m, cRect(0, 0, 10, 10), 128); }, false,
       [](const RulesMap& r) { return r.map.getTerrain(cPoint(0, 0)) == 0; }},
      {"paint a negative kind", [](cMap& m) { return applyPaint(m, cRect(0, 0, 10, 10), -1); },
       false, [](const RulesMap& r) { return r.map.getTerrain(cPoint(0, 0)) == 0; }},
      {"unit on a free cell",
       [](cMap& m) {
         return applyCreateUnit(m, cBaseUnit(7, 2, cPoint(0, 0), cIsoPoint(1, 1, 0), 9));
       },
       true,
       [](const RulesMap& r) {
         return r.map.getUnits()->number() == 2 && r.map._getObject(cPoint(0, 0))->getHealth() == 9;
       }},
      {"unit on the building",
       [](cMap& m) {
         return applyCreateUnit(m, cBaseUnit(1, 2, cPoint(3, 3), cIsoPoint(1, 1, 0), 9));
       },
       false, [](const RulesMap& r) { return r.map.getUnits()->number() == 1; }},
      {"building over the edge",
       [](cMap& m) {
         return applyCreateBuilding(m, cBaseObject(1, 2, cPoint(9, 0), cIsoPoint(2, 2, 0), 9));
       },
       false, [](const RulesMap& r) { return r.map.getBuildings()->number() == 1; }},
      {"building without a cell",
       [](cMap& m) {
         return applyCreateBuilding(m, cBaseObject(1, 2, cPoint(0, 0), cIsoPoint(0, 2, 0), 9));
       },
       false, [](const RulesMap& r) { return r.map.getBuildings()->number() == 1; }},
      {"building of 65535 x 65535",
       [](cMap& m) {
         return applyCreateBuilding(m,
                                    cBaseObject(1, 2, cPoint(0, 0), cIsoPoint(65535, 65535, 0), 9));
       },
       false, [](const RulesMap& r) { return r.map.getBuildings()->number() == 1; }},
      {"heal past full health", [](cMap& m) { return applyHealthChange(m, cPoint(2, 2), 3, -100); },
       true, [](const RulesMap& r) { return r.building()->getHealth() == 150; }},
      {"damage off the anchor", [](cMap& m) { return applyHealthChange(m, cPoint(3, 3), 3, 10); },
       false, [](const RulesMap& r) { return r.building()->getHealth() == 50; }},
      {"damage to another kind", [](cMap& m) { return applyHealthChange(m, cPoint(6, 6), 2, 10); },
       false, [](const RulesMap& r) { return r.unit()->getHealth() == 30; }},
      {"blast as large as it gets", [](cMap& m) { return applyBlast(m, cPoint(0, 0), 5, 65535); },
       true,
       [](const RulesMap& r) {
         return r.building()->getHealth() == 45 && r.unit()->getHealth() == 25;
       }},
      {"blast centred off the map", [](cMap& m) { return applyBlast(m, cPoint(10, 6), 5, 3); },
       false, [](const RulesMap& r) { return r.unit()->getHealth() == 30; }},
  };
  for (const RuleCase& c : cases) {
    RulesMap r;
    EXPECT_EQ(c.apply(r.map), c.changed) << c.what;
    EXPECT_TRUE(c.holds(r)) << c.what;
  }
}

TEST(Rules, RemovalHandsOverTheObjectOfExactlyThatFootprint)
{
  RulesMap r;
  ASSERT_TRUE(applyMove(r.map, cPoint(6, 6), cPoint(4, 4)));
  EXPECT_EQ(applyRemove(r.map, cRect(0, 0, 1, 1)), nullptr);
  EXPECT_EQ(applyRemove(r.map, cRect(2, 2, 3, 3)), nullptr);  // part of the building only
  std::unique_ptr<cBaseObject> gone = applyRemove(r.map, cRect(2, 2, 4, 4));
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->myID(), 3);
  EXPECT_EQ(r.map.getObject(cPoint(3, 3)), 0);
  gone = applyRemove(r.map, cRect(4, 4, 5, 5));
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->myObjectType(), 1);
  EXPECT_TRUE(r.map.getUnits()->isEmpty());
}

// The occupancy layer stays the map of where units stand, whatever the frames do: a large
// unit marks its whole footprint wherever it goes, and a cell two units share stays marked
// until both have left it.
TEST(Rules, UnitOccupancyFollowsEveryUnitThroughMovesAndRemovals)
{
  RulesMap r;
  cMap& m = r.map;
  ASSERT_TRUE(applyCreateUnit(m, cBaseUnit(1, 0, cPoint(0, 5), cIsoPoint(2, 2, 0), 9)));
  ASSERT_TRUE(applyMove(m, cPoint(0, 5), cPoint(5, 5)));  // over the unit at (6, 6)
  ASSERT_TRUE(applyMove(m, cPoint(5, 5), cPoint(0, 0)));
  ASSERT_TRUE(applyMove(m, cPoint(6, 6), cPoint(0, 1)));  // the small one into the large one
  ASSERT_NE(applyRemove(m, cRect(0, 0, 2, 2)), nullptr);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool unitThere = x == 0 && y == 1;
      EXPECT_EQ(m.getUnit(cPoint(x, y)) != 0, unitThere) << x << "," << y;
    }
}
