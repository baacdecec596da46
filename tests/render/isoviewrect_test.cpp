// The viewport on a 1024 x 768 window: a 30 x 30 map of red terrain shown in the game's map
// area (0, 15)-(1024, 593), 1024 x 578 pixels.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "render/isoviewrect.h"
#include "viewtest.h"

namespace {

const cRect mapArea(0, 15, 1024, 593);

class Viewport : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(world.open());
    viewport = std::make_unique<cIsoViewRect>(cPoint(30, 30));
    viewport->getView().fillTerrain(cRect(0, 0, 30, 30), 1);
    ASSERT_TRUE(viewport->setBounds(mapArea));
  }
  void TearDown() override
  {
    viewport.reset();
    for (BITMAP* b : bitmaps) destroy_bitmap(b);
  }
  BITMAP* page(int colour = 0)
  {
    BITMAP* b = create_bitmap(1024, 768);
    clear_to_color(b, colour);
    bitmaps.push_back(b);
    return b;
  }
  static bool same(BITMAP* a, BITMAP* b)
  {
    for (int y = 0; y < a->h; ++y)
      if (std::memcmp(a->line[y], b->line[y], a->w * 4) != 0) return false;
    return true;
  }
  cPoint centre() const { return cPoint(mapArea.myWidth() / 2, mapArea.myHeight() / 2); }

  ViewWorld world;
  std::unique_ptr<cIsoViewRect> viewport;
  std::vector<BITMAP*> bitmaps;
};

TEST_F(Viewport, BoundsWithoutAreaOrTooLargeAreRefused)
{
  BITMAP* before = page();
  viewport->draw(before);
  for (const cRect& bad : {cRect(0, 0, 0, 10), cRect(10, 10, 5, 20), cRect(0, 0, -4, -4),
                           cRect(0, 0, 100000, 100000), cRect(0, 0, 70000, 10000)}) {
    EXPECT_FALSE(viewport->setBounds(bad)) << bad.right() << "x" << bad.bottom();
    EXPECT_EQ(viewport->getBounds(), mapArea);
  }
  BITMAP* after = page();
  viewport->redrawquick(after);  // the old buffer with its picture is still there
  EXPECT_TRUE(same(before, after));
  // A new buffer starts cleared.
  ASSERT_TRUE(viewport->setBounds(cRect(100, 100, 300, 200)));
  BITMAP* white = page(makecol(255, 255, 255));
  viewport->redrawquick(white);
  EXPECT_EQ(rgb(white, 100, 100), 0);
  EXPECT_EQ(rgb(white, 299, 199), 0);
  EXPECT_EQ(rgb(white, 300, 199), 0xffffff);
}

TEST_F(Viewport, ScrollingIsReportedOnceAndOnlyInsideTheLimits)
{
  viewport->reCenter(cPoint(100, 50));  // no limits before the first checkScroll
  EXPECT_EQ(viewport->getOffset(), cPoint(0, 0));
  EXPECT_FALSE(viewport->checkScroll());
  viewport->reCenter(cPoint(100, 50));
  EXPECT_EQ(viewport->getView().getStartPos(), cPoint(612, 50));
  EXPECT_TRUE(viewport->checkScroll());
  EXPECT_FALSE(viewport->checkScroll());
  viewport->externalScroll(cPoint(10, 0));
  EXPECT_TRUE(viewport->checkScroll());
  EXPECT_FALSE(viewport->checkScroll());
  EXPECT_EQ(viewport->getOffset(), cPoint(110, 50));
  viewport->reCenter(cPoint(-100000, 0));
  EXPECT_EQ(viewport->getOffset(), cPoint(110, 50));
  EXPECT_FALSE(viewport->checkScroll());
}

TEST_F(Viewport, ZoomKeepsTheCentreTileAtTheCentre)
{
  viewport->checkScroll();
  viewport->reCenter(cPoint(-60, -300));
  const cIsoPoint tile = viewport->getView().checkPos(centre());
  viewport->setZoom(12);
  const cIsoPoint topCorner(tile.x - 1, tile.y - 1);
  EXPECT_EQ(topCorner.convertTo2DScaled(viewport->getView().getStartPos(), 12), centre());
  EXPECT_EQ(viewport->getView().getZoom(), 12);
}

TEST_F(Viewport, ZoomingOutNeverStrandsTheMap)
{
  viewport->setZoom(20);
  viewport->checkScroll();
  const cRect deep = viewport->getMaxOffset();
  viewport->reCenter(cPoint(-(deep.right() - 1), -(deep.bottom() - 1)));  // the far corner
  ASSERT_NE(viewport->getOffset(), cPoint(0, 0));
  for (int zoom : {6, 1}) {
    viewport->setZoom(zoom);
    const cRect limits = viewport->getMaxOffset();
    const cPoint offset = viewport->getOffset();
    if (limits.left() < limits.right()) {
      EXPECT_TRUE(limits.includes(-offset)) << "zoom " << zoom;
    } else {  // a map narrower than the view is centred across it
      EXPECT_EQ(offset.x, -((limits.left() + limits.right()) / 2)) << "zoom " << zoom;
      EXPECT_GE(-offset.y, limits.top());
      EXPECT_LT(-offset.y, limits.bottom());
    }
    EXPECT_EQ(viewport->getView().getStartPos(), offset + cPoint(512, 0));
  }
}

TEST_F(Viewport, RedrawsGiveTheSamePictureAndQuickOneTheLastDrawn)
{
  viewport->checkScroll();
  BITMAP* drawn = page();
  BITMAP* redrawn = page();
  BITMAP* v2 = page();
  viewport->draw(drawn);
  viewport->redraw(redrawn);
  viewport->redrawv2(v2, cRect(0, 0, 10, 10));
  EXPECT_TRUE(same(drawn, redrawn));
  EXPECT_TRUE(same(drawn, v2));
  EXPECT_EQ(rgb(drawn, 512, 15 + 30), ViewWorld::terrainColour);
  viewport->externalScroll(cPoint(0, 40));
  ASSERT_TRUE(viewport->checkScroll());
  BITMAP* quick = page();
  viewport->redrawquick(quick);
  EXPECT_TRUE(same(drawn, quick));
  BITMAP* scrolled = page();
  viewport->draw(scrolled);
  EXPECT_FALSE(same(drawn, scrolled));
}

TEST_F(Viewport, DrawLayerDrawsIntoTheBoundsWithoutClearing)
{
  viewport->checkScroll();
  const int blue = makecol(0, 0, 255);
  for (int pass = 0; pass < 2; ++pass) {
    BITMAP* target = page(blue);
    viewport->drawLayer(target, 0);
    viewport->drawLayer(target, 0);  // the window on this target is reused
    EXPECT_EQ(rgb(target, 512, 15 + 30), ViewWorld::terrainColour);
    EXPECT_EQ(rgb(target, 512, 10), 0x0000ff);  // above the bounds
    EXPECT_EQ(rgb(target, 5, 20), 0x0000ff);    // beside the map: not cleared
  }
}

// The pointer is warped inside the window by Allegro and moved off it with xdotool.
TEST_F(Viewport, EdgeScrollingStopsOffTheWindowAndWhenSwitchedOut)
{
  ASSERT_GE(install_mouse(), 0);
  viewport->checkScroll();
  auto settle = [](bool onScreen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      poll_mouse();
      if ((mouse_on_screen() != 0) == onScreen) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  };
  position_mouse(1020, 300);
  ASSERT_TRUE(settle(true));
  const cPoint start = viewport->getOffset();
  EXPECT_TRUE(viewport->checkScroll());
  EXPECT_EQ(viewport->getOffset(), start + cPoint(-16, 0));
  cHotSpotRect::setSwitchedOut(true);
  EXPECT_FALSE(viewport->checkScroll());
  cHotSpotRect::setSwitchedOut(false);
  std::system("xdotool mousemove 1200 1000");
  ASSERT_TRUE(settle(false));
  EXPECT_FALSE(viewport->checkScroll());
  EXPECT_EQ(viewport->getOffset(), start + cPoint(-16, 0));
  remove_mouse();
}

}  // namespace
