#include "world/maplayer.h"
#include "support/testdirectory.h"
#include "support/testhost.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {
int sum(const cMapLayer& layer)
{
  int s = 0;
  for (int i = 0; i < layer.cellCount(); ++i) s += layer.get(long(i));
  return s;
}
}  // namespace

TEST(MapLayer, ReadsOutsideAnswer255AndWritesOutsideAreIgnored)
{
  cMapLayer layer(cPoint(10, 10));
  EXPECT_EQ(layer.get(cPoint(10, 0)), 255);
  EXPECT_EQ(layer.get(cPoint(-1, 3)), 255);
  EXPECT_EQ(layer.get(cPoint(3, 10)), 255);
  EXPECT_EQ(layer.get(100L), 255);
  EXPECT_EQ(layer.get(-1L), 255);
  layer.place(100L, 7);
  layer.place(-1L, 7);
  layer.place(cPoint(10, 0), 7);
  layer.place(cPoint(0, -1), 7);
  EXPECT_EQ(sum(layer), 0);
  layer.place(cPoint(9, 9), 5);
  EXPECT_EQ(layer.get(99L), 5);
  layer.place(10L, 4);
  EXPECT_EQ(layer.get(cPoint(0, 1)), 4);
}

TEST(MapLayer, EmptyLayerReads255AndIgnoresWrites)
{
  cMapLayer empty;
  EXPECT_FALSE(empty.isValid());
  EXPECT_EQ(empty.get(cPoint(0, 0)), 255);
  empty.place(0L, 3);
  empty.fill(cRect(0, 0, 5, 5), 3);
  EXPECT_EQ(empty.get(0L), 255);
  EXPECT_FALSE(empty.isAvail(cPoint(0, 0), cPoint(1, 1)));
  // Sizes from the network may be anything: none of these may allocate or crash.
  for (cPoint bad : {cPoint(0, 5), cPoint(-3, 4), cPoint(65536, 65536), cPoint(INT_MAX, 2)}) {
    cMapLayer layer(bad);
    EXPECT_FALSE(layer.isValid());
    EXPECT_EQ(layer.get(0L), 255);
  }
}

TEST(MapLayer, FillIsHalfOpenAndReversedCornersFillNothing)
{
  cMapLayer layer(cPoint(10, 10));
  layer.fill(cPoint(2, 2), cPoint(1, 1), 9);
  layer.fill(cRect(5, 1, 3, 4), 9);
  EXPECT_EQ(sum(layer), 0);
  layer.fill(cPoint(1, 2), cPoint(3, 5), 1);
  EXPECT_EQ(sum(layer), 6);
  EXPECT_EQ(layer.get(cPoint(1, 2)), 1);
  EXPECT_EQ(layer.get(cPoint(2, 4)), 1);
  EXPECT_EQ(layer.get(cPoint(3, 4)), 0);
  EXPECT_EQ(layer.get(cPoint(2, 5)), 0);
}

TEST(MapLayer, FillOverTheEdgeOnlyWritesTheLayer)
{
  cMapLayer layer(cPoint(10, 10));
  layer.fill(cRect(8, 8, 12, 12), 1);
  EXPECT_EQ(sum(layer), 4);
  // A rectangle as large as 32 bits allow must not loop over its own area.
  layer.fill(cRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), 2);
  EXPECT_EQ(sum(layer), 200);
}

TEST(MapLayer, AvailabilityAtTheEdgeAndForNegativeCells)
{
  cMapLayer layer(cPoint(10, 10));
  EXPECT_FALSE(layer.isAvail(cPoint(8, 8), cPoint(3, 3)));
  EXPECT_TRUE(layer.isAvail(cPoint(7, 7), cPoint(3, 3)));
  EXPECT_FALSE(layer.isAvail(cPoint(-1, 0), cPoint(1, 1)));
  EXPECT_FALSE(layer.isAvail(cPoint(10, 0), cPoint(1, 1)));
  EXPECT_FALSE(layer.isAvail(cPoint(5, 5), cPoint(INT_MAX, 1)));
  layer.place(cPoint(8, 8), -4);
  EXPECT_TRUE(layer.isAvail(cPoint(7, 7), cPoint(3, 3)));
  layer.place(cPoint(9, 9), 1);
  EXPECT_FALSE(layer.isAvail(cPoint(7, 7), cPoint(3, 3)));
  EXPECT_TRUE(layer.isAvail(cPoint(7, 7), cPoint(2, 2)));
}

TEST(MapLayer, CopyTakesCellsButNotUsage)
{
  cMapLayer a(cPoint(4, 3));
  a.place(cPoint(3, 2), 8);
  a.setUsage(5);
  cMapLayer b(cPoint(1, 1));
  b.setUsage(2);
  b = a;
  EXPECT_EQ(b.myMaxPos(), cPoint(4, 3));
  EXPECT_EQ(b.get(cPoint(3, 2)), 8);
  EXPECT_EQ(b.getUsage(), 2);
  a.place(cPoint(3, 2), 1);
  EXPECT_EQ(b.get(cPoint(3, 2)), 8);
  b = &b;
  EXPECT_EQ(b.get(cPoint(3, 2)), 8);
  b = cMapLayer();
  EXPECT_FALSE(b.isValid());
}

TEST(MapLayer, SharedLayerIsFreedByItsLastUser)
{
  cMapLayer* shared = new cMapLayer(cPoint(3, 3));
  shared->setUsage(2);
  EXPECT_EQ(shared->decrementUsage(), 1);
  EXPECT_EQ(shared->get(0L), 0);  // still alive: the sanitizer build checks this read
  EXPECT_EQ(shared->decrementUsage(), 0);
}

TEST(MapLayer, DebugLogLinesAndDump)
{
  cTestHost host(nullptr, true);
  cMapLayer layer(cPoint(2, 2));
  layer.fill(cRect(0, 0, 1, 2), 7);
  layer.testMap();
  EXPECT_EQ(host.reopenings(), 2) << "the lines around a fill reach the disk at once";
  EXPECT_EQ(host.text(),
            "clearing Map...\nend clear Map..., test it\n"
            "filling area on map (0,0)-(1,2) with 7...\nfinished filling area.\n"
            "Testing Map...\n7, 0, \n7, 0, \nEnd Test.\n");
}
