#include "world/pointutil.h"

#include <gtest/gtest.h>

#include "support/testhost.h"

namespace {
int screenWidth = 0;
// The screen width the tile arithmetic reads, for the whole test program.
cTestHost host([] { return screenWidth; });

// Sets a screen width and forgets the remembered tile constant by asking for another zoom.
void useScreenWidth(int width)
{
  screenWidth = width;
  cIsoPoint::getXConst(-1);
}
}  // namespace

TEST(Point, DivisionAndConversionTruncateTowardZero)
{
  EXPECT_EQ(cPoint(-3, 5) / 2, cPoint(-1, 2));
  EXPECT_EQ(cPoint(2.9, -2.9), cPoint(2, -2));
  EXPECT_EQ(cPoint(-7, 7) / 2.0, cPoint(-3, 3));
  cPoint p(-5, 5);
  p *= 0.5;
  EXPECT_EQ(p, cPoint(-2, 2));
  EXPECT_EQ(-cPoint(1, -2), cPoint(-1, 2));
  EXPECT_EQ(cPoint(1, 2) * 3 - cPoint(1, 1) + cPoint(0, 1), cPoint(2, 6));
  EXPECT_TRUE(cPoint(1, 2) != cPoint(1, 3));
}

TEST(Rect, HalfOpenIncludesAndEmptiness)
{
  const cRect r(0, 0, 10, 10);
  EXPECT_TRUE(r.includes(cPoint(0, 0)));
  EXPECT_TRUE(r.includes(cPoint(9, 9)));
  EXPECT_FALSE(r.includes(cPoint(10, 5)));
  EXPECT_FALSE(r.includes(cPoint(5, 10)));
  EXPECT_FALSE(r.includes(cPoint(-1, 5)));
  EXPECT_TRUE(cRect(5, 5, 5, 9).isEmpty());
  EXPECT_TRUE(cRect(cPoint(2, 2), cPoint(1, 1)).isEmpty());
  EXPECT_EQ(cRect(4, 3), cRect(0, 0, 4, 3));
  EXPECT_EQ(r.myWidth(), 10);
}

TEST(Rect, InsetToNothingBecomesAllZero)
{
  cRect r(10, 10, 15, 20);
  r.inset(3, 0);
  EXPECT_EQ(r, cRect(0, 0, 0, 0));
  cRect s(0, 0, 10, 10);
  s.inset(cPoint(2, 1));
  EXPECT_EQ(s, cRect(2, 1, 8, 9));
  s.offset(-2, 3);
  EXPECT_EQ(s, cRect(0, 4, 6, 12));
}

TEST(Rect, IntersectUsesStrictEdges)
{
  EXPECT_FALSE(cRect(0, 0, 10, 10).intersect(cRect(0, 0, 10, 10)));
  EXPECT_TRUE(cRect(1, 1, 10, 10).intersect(cRect(0, 0, 5, 5)));
  EXPECT_TRUE(cRect(0, 0, 5, 5).intersect(cRect(1, 1, 10, 10)));
  EXPECT_FALSE(cRect(0, 0, 5, 5).intersect(cRect(5, 0, 10, 5)));  // touching edges
  EXPECT_FALSE(cRect(0, 0, 5, 5).intersect(cRect(2, 0, 4, 5)));   // same top edge
  EXPECT_FALSE(cRect(0, 0, 5, 5).intersect(cRect(6, 6, 9, 9)));
}

TEST(IsoPoint, TileConstantIsRememberedPerZoom)
{
  useScreenWidth(640);
  EXPECT_EQ(cIsoPoint::getXConst(8), 26);
  screenWidth = 1024;
  EXPECT_EQ(cIsoPoint::getXConst(8), 26);  // same zoom: the old value stands
  EXPECT_EQ(cIsoPoint::getXConst(4), 21);
  EXPECT_EQ(cIsoPoint::getXConst(8), 42);
  screenWidth = 0;
  EXPECT_EQ(cIsoPoint::getXConst(3), 0);
}

TEST(IsoPoint, CellToScreenAtReferenceZoom)
{
  useScreenWidth(640);
  const cPoint origin(100, 50);
  EXPECT_EQ(cIsoPoint(1, 0).convertTo2D(origin), origin + cPoint(-26, 13));
  EXPECT_EQ(cIsoPoint(0, 1).convertTo2D(origin), origin + cPoint(26, 13));
  EXPECT_EQ(cIsoPoint(1, 1).convertTo2D(origin), origin + cPoint(0, 26));
  EXPECT_EQ(cIsoPoint(-1, 0).convertTo2D(origin), origin + cPoint(26, -13));
  useScreenWidth(1024);
  EXPECT_EQ(cIsoPoint(3, 0).convertTo2DScaled(cPoint(0, 0), 4), cPoint(-63, 31));
  EXPECT_EQ(cIsoPoint(-3, 0).convertTo2DScaled(cPoint(0, 0), 4), cPoint(63, -31));
}

TEST(IsoPoint, ScreenToCellReadsBackOneCellFurther)
{
  useScreenWidth(640);
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 12; ++y) {
      cIsoPoint cell(x, y, 7);
      cIsoPoint back;
      back.z = 7;
      back.set2DPos(cell.convertTo2D(cPoint(0, 0)));
      EXPECT_EQ(back.toPoint(), cPoint(x + 1, y + 1)) << x << "," << y;
      EXPECT_EQ(back.z, 7);
    }
  cIsoPoint negative;
  negative.set2DPos(cPoint(-200, -100));  // ((100 - 74) / 26, (-100 - 74) / 26)
  EXPECT_EQ(negative.toPoint(), cPoint(1, -6));
}

TEST(IsoPoint, ScreenToCellWithoutGraphicsModeLeavesCell)
{
  screenWidth = 0;
  cIsoPoint::getXConst(-2);
  cIsoPoint p(4, 5);
  p.set2DPosScaled(cPoint(30, 30), 6);
  EXPECT_EQ(p.toPoint(), cPoint(4, 5));
}

TEST(Direction, CodesAndSteps)
{
  const cPoint steps[] = {{0, 0}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1},
                          {1, 0}, {1, 1},  {0, 1},   {-1, 1}};
  for (int code = 0; code <= 8; ++code) {
    cDirection d(code);
    EXPECT_EQ(d.getDirection(), steps[code]);
    EXPECT_EQ(d.getDirectionP(), code);
  }
  EXPECT_EQ(cDirection(9).getDirection(), cPoint(0, 0));
  EXPECT_EQ(cDirection(-1).getDirectionP(), 0);
  cDirection odd;
  odd.x = 2;
  EXPECT_EQ(odd.getDirectionP(), 0);
  cDirection reused(3);
  reused.setDirection(12);
  EXPECT_EQ(reused.getDirection(), cPoint(0, 0));
}
