// The minimap of a 100 x 100 map of red terrain (ViewWorld's catalogue) drawn into a
// 1024 x 768 memory bitmap that starts grey.
#include <gtest/gtest.h>

#include "render/minimap.h"
#include "viewtest.h"

namespace {

class Minimap : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(world.open());
    terrain.fill(cRect(0, 0, 100, 100), 1);
    target = create_bitmap(1024, 768);
    clear_to_color(target, makecol(90, 90, 90));
  }
  void TearDown() override { destroy_bitmap(target); }
  // Corners given as the top-left and the bottom-right (excluded) pixels.
  cMinimap make(cPoint topLeft, cPoint size)
  {
    return cMinimap(topLeft, topLeft + size, &objects, &units, &terrain);
  }

  static constexpr int grey = 0x5a5a5a, blue = 0x0000ff, white = 0xffffff, red = 0xff0000;
  ViewWorld world;
  cMapLayer objects{cPoint(100, 100)}, units{cPoint(100, 100)}, terrain{cPoint(100, 100)};
  BITMAP* target = nullptr;
};

TEST_F(Minimap, SmallScaleIsOnePixelPerTileTransposedAndClipped)
{
  objects.fill(cRect(10, 50, 12, 52), 1);  // the four tiles that land on pixel (30, 6)
  units.fill(cRect(40, 20, 42, 22), 3);
  units.place(cPoint(10, 50), 2);                       // under the building: still blue
  terrain.fill(cRect(60, 0, 62, 2), 2);                 // a kind without an image
  terrain.fill(cRect(70, 0, 72, 2), -3);                // a received signed byte
  terrain.fill(cRect(80, 0, 82, 2), 99);                // past the catalogue
  cMinimap map = make(cPoint(10, 20), cPoint(60, 50));  // scale max(0.6, 0.5)
  map.draw(target);
  EXPECT_EQ(rgb(target, 10 + 30, 20 + 6), blue);
  EXPECT_EQ(rgb(target, 10 + 12, 20 + 24), white);
  EXPECT_EQ(rgb(target, 10 + 0, 20 + 36), 0);
  EXPECT_EQ(rgb(target, 10 + 0, 20 + 42), 0);
  EXPECT_EQ(rgb(target, 10 + 0, 20 + 48), 0);
  EXPECT_EQ(rgb(target, 10 + 5, 20 + 5), ViewWorld::terrainColour);
  EXPECT_EQ(rgb(target, 10 + 59, 20 + 49), ViewWorld::terrainColour);
  EXPECT_EQ(rgb(target, 10, 20 + 50), grey);  // rows of x >= 84 fall past the bottom: clipped
  EXPECT_EQ(rgb(target, 9, 20), grey);
}

TEST_F(Minimap, LargeScaleDrawsSharedOutlinesAndTheViewOutline)
{
  objects.place(cPoint(4, 10), 1);
  cMinimap map = make(cPoint(0, 0), cPoint(300, 300));  // scale 3
  // Zoom 8 on 1024 pixels: K = 42. The view's corners fall on the tiles (16, 4), (4, 16),
  // (18, 30) and (30, 18): minimap pixels (12, 48), (48, 12), (90, 54) and (54, 90).
  map.setState(8, cPoint(512, -400), cPoint(1024, 578));
  map.draw(target);
  // The outline of the square (30, 12)-(33, 15); its right and bottom edges are redrawn by
  // the neighbours drawn after it.
  EXPECT_EQ(rgb(target, 30, 12), blue);
  EXPECT_EQ(rgb(target, 32, 12), blue);
  EXPECT_EQ(rgb(target, 30, 14), blue);
  EXPECT_EQ(rgb(target, 33, 13), ViewWorld::terrainColour);
  EXPECT_EQ(rgb(target, 31, 13), 0);  // inside the outline
  EXPECT_EQ(rgb(target, 36, 12), ViewWorld::terrainColour);
  for (cPoint p : {cPoint(12, 48), cPoint(48, 12), cPoint(90, 54), cPoint(54, 90), cPoint(30, 30),
                   cPoint(69, 33), cPoint(72, 72), cPoint(33, 69)})
    EXPECT_EQ(rgb(target, p.x, p.y), red) << p.x << "," << p.y;
  EXPECT_EQ(rgb(target, 300, 100), grey);  // the clip ends at the rectangle
}

TEST_F(Minimap, HeldButtonsReportTheTileUnderThePointer)
{
  cMinimap map = make(cPoint(100, 200), cPoint(300, 300));
  map.doMe(cMouse(cPoint(130, 212), 1));
  EXPECT_EQ(map.myMessage(), 1);
  EXPECT_EQ(map.lastClicked(), cPoint(4, 10));
  map.doMe(cMouse(cPoint(130, 212), 0));
  EXPECT_EQ(map.myMessage(), 0);
  map.doMe(cMouse(cPoint(99, 212), 2));  // outside
  EXPECT_EQ(map.myMessage(), 0);
  // A click that came and went between two readings still counts.
  cMouse before(cPoint(160, 260), 0), after(cPoint(160, 260), 0);
  before.presses = 4;
  after.presses = 5;
  map.doMe(before);
  map.doMe(after);
  EXPECT_EQ(map.myMessage(), 1);
  EXPECT_EQ(map.lastClicked(), cPoint(20, 20));
}

TEST_F(Minimap, MapWithoutExtentIsNeverScaled)
{
  cMapLayer none;
  cMinimap map(cPoint(10, 10), cPoint(70, 70), &none, &none, &none);
  map.setState(8, cPoint(512, 5), cPoint(1024, 578));
  map.draw(target);
  EXPECT_EQ(rgb(target, 10, 10), 0);
  EXPECT_EQ(rgb(target, 69, 69), 0);
  map.doMe(cMouse(cPoint(20, 20), 1));
  EXPECT_EQ(map.myMessage(), 0);
}

TEST_F(Minimap, TerrainColoursAreTheImageCentreReadOnce)
{
  cMinimap map = make(cPoint(0, 0), cPoint(100, 100));
  EXPECT_EQ(map.calColor(1), makecol(200, 0, 0));
  EXPECT_EQ(map.calColor(2), makecol(0, 0, 0));
  EXPECT_EQ(map.calColor(-1), makecol(0, 0, 0));
  EXPECT_EQ(map.calColor(3), makecol(0, 0, 0));
  map.draw(target);
  BITMAP* image = metaImages->retrieveTerrainImage(1);
  putpixel(image, image->w / 2, image->h / 2, makecol(0, 255, 0));
  map.draw(target);
  EXPECT_EQ(rgb(target, 50, 50), ViewWorld::terrainColour);
}

}  // namespace
