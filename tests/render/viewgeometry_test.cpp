// The view's arithmetic without a display: a fixed screen width of 1024 pixels stands in for
// the graphics mode (zoom 8 gives tiles of K = 42).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "render/isoviewrect.h"
#include "render/viewgeometry.h"
#include "viewtest.h"

namespace {

class Geometry : public ::testing::Test {
protected:
  void SetUp() override { useScreenWidth(1024); }
  void TearDown() override { useScreenWidth(0); }
};

TEST_F(Geometry, EdgeBandsGiveStepsByDistanceFromTheEdge)
{
  const cRect screen(0, 0, 1024, 768);
  const cRect limits(-5000, -5000, 5000, 5000);
  struct {
    cPoint pointer;
    int step;
    cPoint moved;  // offset after one step from (0, 0)
  } cases[] = {
      {{1020, 384}, 16, {-16, 0}},  // 3 pixels from the right edge
      {{1016, 384}, 8, {-8, 0}},    // 7
      {{1008, 384}, 4, {-4, 0}},    // 15
      {{1001, 384}, 0, {0, 0}},     // 22: inside the 25-pixel band but no step
      {{2, 2}, 16, {16, 16}},       // top-left corner: both axes
      {{512, 764}, 16, {0, -16}},   // bottom
      {{512, 384}, 0, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(edgeScrollStep(c.pointer, screen), c.step) << c.pointer.x << "," << c.pointer.y;
    EXPECT_EQ(edgeScroll(c.pointer, screen, cPoint(), limits), c.moved) << c.pointer.x;
  }
}

TEST_F(Geometry, EdgeScrollTestsTheLimitBeforeTheStep)
{
  const cRect screen(0, 0, 1024, 768);
  const cRect limits(-100, -100, 100, 100);
  // offset.x -99 is still above -right (-100): one more step overshoots to -115.
  EXPECT_EQ(edgeScroll(cPoint(1020, 384), screen, cPoint(-99, 0), limits), cPoint(-115, 0));
  EXPECT_EQ(edgeScroll(cPoint(1020, 384), screen, cPoint(-100, 0), limits), cPoint(-100, 0));
  EXPECT_EQ(edgeScroll(cPoint(2, 384), screen, cPoint(100, 0), limits), cPoint(100, 0));
}

TEST_F(Geometry, SetOffsetIsHalfOpen)
{
  cHotSpotRect hot(cRect(0, 0, 10, 10), cRect(-100, -50, 100, 50));
  const struct {
    cPoint p;
    bool taken;
  } cases[] = {{{-100, 0}, false}, {{0, -50}, false}, {{100, 50}, true}, {{-99, -49}, true}};
  for (const auto& c : cases) {
    hot.setOffset(cPoint(7, 7));
    hot.setOffset(c.p);
    EXPECT_EQ(hot.getOffset() == c.p, c.taken) << c.p.x << "," << c.p.y;
  }
}

TEST_F(Geometry, ViewportSizeAndScrollLimits)
{
  EXPECT_EQ(viewPortSize(cPoint(100, 100), 8), cPoint(8400, 4200));
  EXPECT_EQ(viewPortSize(cPoint(100, 50), 1), cPoint(150 * 5, 150 * 5 / 2));
  EXPECT_EQ(scrollLimits(1024, cPoint(8400, 4200), 768), cRect(-3688, -384, 3688, 3816));
  // A map narrower than the view gives inverted horizontal limits.
  const cRect narrow = scrollLimits(1024, viewPortSize(cPoint(10, 10), 1), 768);
  EXPECT_GT(narrow.left(), narrow.right());
}

TEST_F(Geometry, ClampIntoLimitsCentresAnInvertedAxis)
{
  const cRect limits(-100, -50, 100, 50);
  EXPECT_EQ(clampIntoLimits(cPoint(10, -20), limits), cPoint(10, -20));
  EXPECT_EQ(clampIntoLimits(cPoint(-500, 500), limits), cPoint(-99, 50));
  EXPECT_EQ(clampIntoLimits(cPoint(500, -500), limits), cPoint(100, -49));
  EXPECT_EQ(clampIntoLimits(cPoint(300, 7), cRect(462, -50, -462, 50)), cPoint(0, 7));
}

TEST_F(Geometry, ZoomKeepsTheCentreTileAtTheCentre)
{
  const cPoint view(1024, 578);
  const struct {
    cPoint start;
    int from, to;
  } cases[] = {
      {{512, 5}, 11, 12}, {{-800, -1400}, 11, 3}, {{2000, -3000}, 20, 1}, {{512, -40}, 1, 20}};
  for (const auto& c : cases) {
    cIsoPoint centre;
    centre.set2DPosScaled(cPoint(view.x / 2, view.y / 2) - c.start, c.from);
    const cPoint offset = zoomCentreOffset(view, c.start, c.from, c.to);
    const cPoint newStart = offset + cPoint(view.x / 2, 0);
    const cPoint topCorner =
        cIsoPoint(centre.x - 1, centre.y - 1).convertTo2DScaled(newStart, c.to);
    EXPECT_EQ(topCorner, cPoint(view.x / 2, view.y / 2)) << c.from << "->" << c.to;
  }
}

TEST_F(Geometry, MinimapScaleTranspositionAndClicks)
{
  EXPECT_DOUBLE_EQ(minimapScale(cPoint(60, 50), cPoint(100, 100)), 0.6);
  EXPECT_DOUBLE_EQ(minimapScale(cPoint(300, 300), cPoint(100, 100)), 3.0);
  EXPECT_DOUBLE_EQ(minimapScale(cPoint(0, 0), cPoint(100, 100)), 1.0);
  EXPECT_DOUBLE_EQ(minimapScale(cPoint(60, 50), cPoint(0, 100)), 0.0);
  EXPECT_DOUBLE_EQ(minimapScale(cPoint(60, 50), cPoint(100, -3)), 0.0);
  EXPECT_EQ(minimapPixel(cPoint(10, 50), 0.6), cPoint(30, 6));
  EXPECT_EQ(minimapPixel(cPoint(10, 50), 3), cPoint(150, 30));
  EXPECT_EQ(minimapTileAt(cPoint(30, 12), 3), cPoint(4, 10));
  EXPECT_EQ(minimapTileAt(cPoint(30, 12), 0), cPoint(0, 0));
}

TEST_F(Geometry, HealthBarLengthFillAndColour)
{
  enum { red, orange, yellow, green };
  const struct {
    int health, full;
    bool shown;
    int length, fill, colour;
  } cases[] = {
      {100, 100, true, 36, 36, green},     {50, 100, true, 36, 18, green},
      {48, 100, true, 36, 17, yellow},     {25, 100, true, 36, 9, yellow},
      {23, 100, true, 36, 8, orange},      {14, 100, true, 36, 5, orange},
      {12, 100, true, 36, 4, red},         {0, 100, true, 36, 0, red},
      {-40, 100, true, 36, 0, red},      // below zero: no negative fill
      {5000, 100, true, 36, 36, green},  // received heals are not capped
      {INT_MAX, 100, true, 36, 36, green}, {INT_MAX, INT_MAX, true, 87, 87, green},
      {10, 0, false, 0, 0, red},           {10, -5, false, 0, 0, red},
  };
  for (const auto& c : cases) {
    const cHealthBar bar = healthBar(c.health, c.full);
    EXPECT_EQ(bar.shown, c.shown) << c.health << "/" << c.full;
    if (!c.shown) continue;
    EXPECT_EQ(bar.length, c.length) << c.health << "/" << c.full;
    EXPECT_EQ(bar.fill, c.fill) << c.health << "/" << c.full;
    EXPECT_EQ(bar.colour, c.colour) << c.health << "/" << c.full;
  }
}

TEST_F(Geometry, BracketSizesAndTheirGuardedDivisor)
{
  const struct {
    cPoint size;
    int width, zoom, a, b, d;
  } cases[] = {
      {{170, 122}, 1024, 8, 7, 5, 15},   // reduction 1
      {{170, 122}, 1024, 20, 7, 5, 15},  // reduction 0 becomes 1
      {{24, 20}, 1024, 8, 6, 5, 3},  // 24 - 2(6 + 15) <= 0 halves d, then 20 - 2(5 + 7) halves it
                                     // again
      {{40, 30}, 1024, 1, 1, 0, 1},  // reduction 8: 40/8 = 5 -> a = 1; 30/8 = 3 -> b = 0
      {{40, 30}, 0, 8, 7, 5, 7},     // no screen: no division by zero
      {{40, 30}, 1024, 0, 7, 5, 7},
  };
  for (const auto& c : cases) {
    const cBracket k = selectBracket(c.size, c.width, c.zoom);
    EXPECT_EQ(k.a, c.a) << c.size.x << " zoom " << c.zoom;
    EXPECT_EQ(k.b, c.b) << c.size.x << " zoom " << c.zoom;
    EXPECT_EQ(k.d, c.d) << c.size.x << " zoom " << c.zoom;
  }
}

TEST_F(Geometry, ScalingMatchesTheScaledImages)
{
  EXPECT_EQ(scaleToZoom(cPoint(85, 43), 1024, 4), cPoint(43, 22));
  EXPECT_EQ(scaleToZoom(cPoint(85, 43), 1024, 8), cPoint(86, 44));
  EXPECT_EQ(scaleToZoom(cPoint(85, 43), 640, 20), cPoint(133, 68));
}

}  // namespace

TEST_F(Geometry, OwnerColoursSetTheLocalPlayerApart)
{
  // Colour 0 is the local player's whatever its ID; the others' IDs around it differ.
  for (long local : {0L, 1L, 5L}) {
    EXPECT_EQ(ownerColourIndex(local, local), 0) << local;
    std::vector<int> seen;
    for (long owner = 0; owner < ownerPaletteSize; ++owner) {
      if (owner == local) continue;
      const int i = ownerColourIndex(owner, local);
      EXPECT_GE(i, 1);
      EXPECT_LT(i, ownerPaletteSize);
      EXPECT_EQ(std::count(seen.begin(), seen.end(), i), 0) << owner << " of " << local;
      seen.push_back(i);
    }
  }
  EXPECT_NE(ownerColourIndex(-1, 0), 0) << "a destroyed object's owner";
  EXPECT_NE(ownerColourIndex(LONG_MIN, 0), 0);
  std::vector<int> colours;
  for (int i = 0; i < ownerPaletteSize; ++i) colours.push_back(ownerColourRGB(i));
  std::sort(colours.begin(), colours.end());
  EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end()) << "all distinct";
  EXPECT_EQ(ownerColourRGB(-1), ownerColourRGB(0));
  EXPECT_EQ(ownerColourRGB(ownerPaletteSize), ownerColourRGB(0));
}

// Over the panel only the screen's last two pixels scroll, and only along their own axis.
TEST_F(Geometry, OverThePanelOnlyTheLastTwoPixelsScroll)
{
  const cRect screen(0, 0, 640, 480), panel(0, 370, 640, 480);
  const struct {
    cPoint pointer, seen;
  } rows[] = {
      {{300, 200}, {300, 200}},  // over the map: as it is
      {{5, 200}, {5, 200}},      // the map's edge band is untouched
      {{300, 440}, {320, 240}},  // a toolbar label: nothing
      {{620, 420}, {320, 240}},  // right of the minimap, 20 pixels in: nothing
      {{300, 478}, {320, 478}},  // the bottom two rows
      {{300, 477}, {320, 240}}, {{639, 420}, {639, 240}},
      {{1, 479}, {1, 479}},  // a corner scrolls both ways
  };
  for (const auto& r : rows) EXPECT_EQ(quietPointer(r.pointer, screen, panel), r.seen);
  EXPECT_EQ(quietPointer(cPoint(300, 440), screen, cRect()), cPoint(300, 440)) << "no panel";
  EXPECT_EQ(edgeScrollStep(quietPointer(cPoint(300, 440), screen, panel), screen), 0);
  EXPECT_GT(edgeScrollStep(quietPointer(cPoint(300, 479), screen, panel), screen), 0);
}
