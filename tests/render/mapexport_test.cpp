// The "map1" text export, byte for byte, and its failures.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "render/isoview.h"
#include "support/testdirectory.h"
#include "world/testcatalogue.h"

namespace {

const cProgramIdentity program{"Tarvix Dunmarch Engine (Alpha 20.1)", "0.26.21",
                               "17th November 2001"};
const std::string versionLine =
    "__START_VERSION_Tarvix Dunmarch Engine (Alpha 20.1),0.26.21,17th November "
    "2001__END_VERSION_\n";

std::string readFile(const char* name)
{
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(SaveMap, TwoTilesWithoutObjects)
{
  cTestDirectory dir;
  ASSERT_TRUE(dir.ok());
  cIsoView view(cPoint(2, 1));
  view.placeTerrain(cPoint(0, 0), 3);
  view.placeTerrain(cPoint(1, 0), 4);
  ASSERT_TRUE(view.saveMap("map1", program));
  EXPECT_EQ(readFile("map1"), versionLine +
                                  "__START_TERRAINS_\n0,0,3\n1,0,4\n__END_TERRAINS_\n"
                                  "__START_OBJECTS_\n__END_OBJECTS_\n"
                                  "__START_UNITS_\n__END_UNITS_\n");
}

TEST(SaveMap, ObjectsAndUnitsRunTheirFieldsTogether)
{
  ScopedCatalogue catalogue;
  cTestDirectory dir;
  ASSERT_TRUE(dir.ok());
  cIsoView view(cPoint(20, 20));
  view.setMapSize(cPoint(1, 2));  // the terrain walk follows the view's extent, row by row
  view.placeTerrain(cPoint(0, 1), -2);
  ASSERT_TRUE(view.addBuilding(new cBaseObject(2, 0, cPoint(10, 5), cIsoPoint(2, 2, 1))));
  ASSERT_TRUE(view.addBuilding(new cBaseObject(3, 0, cPoint(14, 8), cIsoPoint(2, 2, 1))));
  ASSERT_TRUE(view.addUnit(new cBaseUnit(2, 0, cPoint(1, 4), cIsoPoint(1, 1, 1))));
  ASSERT_TRUE(view.addUnit(new cBaseUnit(1, 0, cPoint(3, 7), cIsoPoint(1, 1, 1))));
  ASSERT_TRUE(view.saveMap("map1", program));
  EXPECT_EQ(readFile("map1"), versionLine +
                                  "__START_TERRAINS_\n0,0,0\n0,1,-2\n__END_TERRAINS_\n"
                                  "__START_OBJECTS_\n"
                                  "__OBJECT_1_1052__END_OBJECT_1_\n"
                                  "__OBJECT_2_1483__END_OBJECT_2_\n"
                                  "__END_OBJECTS_\n"
                                  "__START_UNITS_\n"
                                  "__UNIT_1_14__END_UNIT_2_\n"
                                  "__UNIT_2_37__END_UNIT_1_\n"
                                  "__END_UNITS_\n");
}

TEST(SaveMap, ReportsFilesThatCannotBeWritten)
{
  cTestDirectory dir;
  ASSERT_TRUE(dir.ok());
  cIsoView view(cPoint(2, 2));
  const char* unwritable[] = {"no/such/folder/map1", ".", "/dev/full", nullptr};
  for (const char* name : unwritable)
    EXPECT_FALSE(view.saveMap(name, program)) << (name ? name : "null");
  EXPECT_TRUE(view.saveMap("map1", program));
}

}  // namespace
