// The map view drawing into memory bitmaps. The world: a 30 x 30 map at zoom 8 on a
// 1024-pixel screen (K = 42) with tile (0, 0)'s anchor at (400, 50); images are the solid
// rectangles of ViewWorld, drawn 2 pixels larger than they are.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "net/changemessage.h"
#include "net/message.h"
#include "render/isoview.h"
#include "render/viewgeometry.h"
#include "viewtest.h"

namespace {

class IsoView : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(world.open());
    view = std::make_unique<cIsoView>(cPoint(30, 30));
    view->setZoom(8);
    view->setStartPos(cPoint(400, 50));
    target = create_bitmap(1024, 768);
    clear_to_color(target, 0);
  }
  void TearDown() override
  {
    view.reset();
    if (target) destroy_bitmap(target);
  }

  cBaseObject* addBuilding(int kind, cPoint at)
  {
    auto* b = new cBaseObject(kind, 0, at, cIsoPoint(2, 2, 1));
    EXPECT_TRUE(view->addBuilding(b));
    return b;
  }
  cBaseUnit* addUnit(int kind, cPoint at)
  {
    auto* u = new cBaseUnit(kind, 0, at, cIsoPoint(1, 1, 1));
    EXPECT_TRUE(view->addUnit(u));
    return u;
  }
  int count(int colour) const
  {
    int n = 0;
    for (int y = 0; y < target->h; ++y)
      for (int x = 0; x < target->w; ++x) n += rgb(target, x, y) == colour;
    return n;
  }
  bool blank() const { return count(0) == target->w * target->h; }

  ViewWorld world;
  std::unique_ptr<cIsoView> view;
  BITMAP* target = nullptr;
};

TEST_F(IsoView, TerrainTileHangsAboveItsAnchor)
{
  view->placeTerrain(cPoint(2, 3), 1);  // anchor (442, 155): image over (398, 111)-(483, 154)
  view->drawRawLayer(target, 0);
  EXPECT_EQ(rgb(target, 398, 111), ViewWorld::terrainColour);
  EXPECT_EQ(rgb(target, 483, 154), ViewWorld::terrainColour);
  EXPECT_EQ(rgb(target, 484, 154), 0);
  EXPECT_EQ(rgb(target, 398, 155), 0);
  EXPECT_EQ(rgb(target, 397, 111), 0);
  EXPECT_EQ(count(ViewWorld::terrainColour), 86 * 44);
}

TEST_F(IsoView, NullImagesAndInvalidKindsAreSkipped)
{
  view->placeTerrain(cPoint(2, 3), 2);       // no image
  view->placeTerrain(cPoint(4, 4), 3);       // past the table
  view->placeTerrain(cPoint(5, 5), -7);      // a received signed byte
  addBuilding(2, cPoint(10, 10))->select();  // no image: neither drawn nor marked
  addBuilding(9, cPoint(14, 14))->select();  // past the table
  addUnit(0, cPoint(20, 20))->select();
  addUnit(7, cPoint(21, 21))->select();
  view->setToBuild(cPoint(3, 3), 2);
  view->drawMe(target);
  view->setToBuild(cPoint(3, 3), 77);  // the size is not looked up for an invalid type
  view->drawMe(target);
  view->setToBuild(cPoint(3, 3), -1);
  view->drawMe(target);
  EXPECT_TRUE(blank());
  view->setZoom(0);  // too small for any image
  view->placeTerrain(cPoint(2, 3), 1);
  view->drawMe(target);
  EXPECT_TRUE(blank());
}

// Objects of kinds the catalogue lacks (a newer peer's) come in through the change rules
// like any other: the map keeps them and later changes reach them, but the view has no
// picture for them and draws nothing of them, neither sprite nor ring nor marks.
TEST_F(IsoView, KindsTheCatalogueLacksAreKeptAndChangedButNotDrawn)
{
  std::unique_ptr<cBaseObject> gone;
  const cBaseUnit stranger(7, 4, cPoint(6, 6), cIsoPoint(1, 1, 1), 30);
  const cBaseObject strangeHall(9, 4, cPoint(12, 12), cIsoPoint(2, 2, 1), 80);
  ASSERT_TRUE(applyChangeMessage(*view, cCreateUnitMessage(0, &stranger), gone));
  ASSERT_TRUE(applyChangeMessage(*view, cCreateObjectMessage(0, &strangeHall), gone));
  cBaseObject* unit = view->getUnits()->getFirstNode()->myData();
  unit->select();
  view->drawMe(target);
  EXPECT_TRUE(blank());
  EXPECT_EQ(view->getUnit(cPoint(6, 6)), 1) << "still on the layer the draw renumbers";
  EXPECT_EQ(view->getObject(cPoint(13, 13)), 1);

  EXPECT_TRUE(applyChangeMessage(*view, cMoveMessage(0, cPoint(6, 6), cPoint(7, 6)), gone));
  EXPECT_TRUE(applyChangeMessage(*view, cDamageHealMessage(0, 7, cPoint(7, 6), 10), gone));
  EXPECT_EQ(unit->myPosition(), cPoint(7, 6));
  EXPECT_EQ(unit->getHealth(), 20);
  unit->unSelect();  // a damaged, unselected object would show a health bar
  addUnit(1, cPoint(9, 9));
  view->drawMe(target);
  EXPECT_EQ(view->getUnits()->number(), 2);
  EXPECT_GT(count(ViewWorld::unitColour), 0) << "a known kind beside it is drawn";
  const int K = cIsoPoint::getXConst(8);
  const cPoint anchor = cIsoPoint(cPoint(7, 6)).convertTo2DScaled(view->getStartPos(), 8);
  for (int y = anchor.y - 3 * K; y <= anchor.y + 2; ++y)
    for (int x = anchor.x - K; x <= anchor.x + K; ++x)
      ASSERT_EQ(rgb(target, x, y), 0) << "drawn at (" << x << ", " << y << ")";

  EXPECT_TRUE(applyChangeMessage(*view, cRemoveMessage(0, cRect(12, 12, 14, 14)), gone));
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->myID(), 9);
  EXPECT_EQ(view->getBuildings()->number(), 0);
}

TEST_F(IsoView, PaintersOrderCoversAUnitBehindABuilding)
{
  addBuilding(1, cPoint(5, 5));  // image over (314, 180)-(483, 301)
  addUnit(1, cPoint(4, 5));      // behind it: (442, 177)-(483, 238)
  addUnit(2, cPoint(7, 7));      // in front: (400, 282)-(441, 343)
  view->drawRawLayer(target, 1);
  EXPECT_EQ(rgb(target, 460, 200), ViewWorld::buildingColour);
  EXPECT_EQ(rgb(target, 460, 178), ViewWorld::unitColour);  // the part above the roof
  EXPECT_EQ(rgb(target, 420, 290), ViewWorld::otherUnitColour);
  EXPECT_EQ(rgb(target, 350, 250), ViewWorld::buildingColour);  // unselected: untinted
}

TEST_F(IsoView, DrawingRenumbersTheOccupancyLayers)
{
  addBuilding(1, cPoint(20, 20));
  addBuilding(1, cPoint(5, 5));
  addUnit(1, cPoint(4, 5));
  addUnit(1, cPoint(9, 9));
  ASSERT_EQ(view->getObject(cPoint(6, 6)), 255);
  for (int layer : {-1, 5, 3}) view->drawRawLayer(target, layer);
  EXPECT_TRUE(blank());
  view->drawRawLayer(target, 4);  // the units stand at half health: their bars show
  EXPECT_FALSE(blank());
  EXPECT_EQ(view->getObject(cPoint(6, 6)), 255);  // only layers 1 and 2 renumber
  for (int layer : {1, 2}) {
    view->fillObject(cRect(5, 5, 7, 7), 255);
    view->fillObject(cRect(20, 20, 22, 22), 255);
    view->drawRawLayer(target, layer);
    EXPECT_EQ(view->getObject(cPoint(5, 5)), 1) << "layer " << layer;  // list order: x + y
    EXPECT_EQ(view->getObject(cPoint(6, 6)), 1);
    EXPECT_EQ(view->getObject(cPoint(21, 20)), 2);
    EXPECT_EQ(view->getObject(cPoint(8, 8)), 0);
    EXPECT_EQ(view->getUnit(cPoint(4, 5)), 1);
    EXPECT_EQ(view->getUnit(cPoint(9, 9)), 2);
  }
}

TEST_F(IsoView, PointsResolveToTilesAndObjects)
{
  cBaseObject* hall = addBuilding(1, cPoint(5, 5));
  view->drawRawLayer(target, 1);
  const cPoint onHall(400, 250);  // just above tile (5, 5)'s anchor (400, 260)
  EXPECT_EQ(view->checkPos(onHall).toPoint(), cPoint(5, 5));
  EXPECT_EQ(view->checkPos(cPoint(400, 260)).toPoint(), cPoint(6, 6));
  EXPECT_EQ(view->getSelection(onHall), hall);
  EXPECT_EQ(view->checkPosSelection(onHall), cRect(5, 5, 7, 7));
  EXPECT_EQ(view->checkPosSelection(cPoint(400, 40)), cRect());
  EXPECT_EQ(view->addSelection(onHall), hall);
  EXPECT_TRUE(hall->isSelected());
  EXPECT_EQ(view->addSelection(onHall), nullptr);
  EXPECT_FALSE(hall->isSelected());
  view->addSelection(hall);
  EXPECT_TRUE(view->hasSelection());
}

TEST_F(IsoView, PreviewIsGreenOnFreeGroundAndRedOnBlocked)
{
  view->setToBuild(cPoint(10, 10), 1);  // far anchor (400, 512): image over (314, 390)-...
  view->drawRawLayer(target, 3);
  int c = rgb(target, 400, 450);
  EXPECT_GT((c >> 8) & 255, c >> 16);
  EXPECT_GT((c >> 8) & 255, c & 255);
  addUnit(1, cPoint(11, 10));
  clear_to_color(target, 0);
  view->drawRawLayer(target, 3);
  c = rgb(target, 400, 450);
  EXPECT_GT(c >> 16, (c >> 8) & 255);
  EXPECT_GT(c >> 16, c & 255);
  // Not drawn while the far anchor is at x <= 0.
  clear_to_color(target, 0);
  view->setStartPos(cPoint(0, 50));
  view->drawRawLayer(target, 3);
  EXPECT_TRUE(blank());
}

TEST_F(IsoView, SelectionTintsBuildingsAndMarksBoth)
{
  addBuilding(1, cPoint(5, 5))->select();       // mark box (314, 180) 170 x 122
  cBaseUnit* rider = addUnit(2, cPoint(7, 7));  // mark box (400, 282) 42 x 62
  rider->select();
  rider->setHealth(5);  // 5 of 40: 4 of 36 pixels, red
  view->drawMe(target);
  const int hall = rgb(target, 350, 250);
  EXPECT_GT(hall & 255, hall >> 16);                             // purple: blue over red
  EXPECT_GT(hall >> 16, (hall >> 8) & 255);                      // red over green
  EXPECT_EQ(rgb(target, 420, 320), ViewWorld::otherUnitColour);  // units are not tinted
  EXPECT_EQ(rgb(target, 331, 185), 0xcf6fbf);                    // building bracket (207, 111, 191)
  EXPECT_EQ(rgb(target, 460, 180), 0xcf6fbf);                    // bar outline
  EXPECT_EQ(rgb(target, 460, 181), 0x00ff00);                    // full health: green
  EXPECT_EQ(rgb(target, 410, 287), 0xffffff);                    // unit bracket
  EXPECT_EQ(rgb(target, 409, 283), 0xff0000);                    // the fill: 4 pixels from x 407
  EXPECT_EQ(rgb(target, 412, 283), ViewWorld::otherUnitColour);
}

TEST_F(IsoView, OwnerNumbersOfAnySizeAreWrittenWhole)
{
  auto* rider = new cBaseUnit(2, -2147483647L - 1, cPoint(7, 7), cIsoPoint(1, 1, 1));
  ASSERT_TRUE(view->addUnit(rider));
  rider->select();
  view->drawRawLayer(target, 4);  // "-2147483648" from (400, 277): 11 characters of 8 pixels
  int lastCharacter = 0;
  for (int y = 277; y < 285; ++y)
    for (int x = 480; x < 488; ++x) lastCharacter += rgb(target, x, y) == 0xf0fff0;
  EXPECT_GT(lastCharacter, 0);
}

TEST_F(IsoView, ConstructionIsLogged)
{
  cTestHost log;
  {
    cIsoView other(cPoint(30, 20));
  }
  EXPECT_EQ(log.text(), "Initing cIsoView\nMap has maxpos 30x20\n");
}

}  // namespace

// Every object stands on a ring in its owner's colour: colour 0 for the local player's
// own, others from the rest of the palette; a blast shows as a flash over its reach.
TEST_F(IsoView, OwnerRingsAndBlastFlashes)
{
  view->setLocalPlayer(3);
  const struct {
    long owner;
    cPoint cell;
  } objects[] = {{3, cPoint(4, 4)}, {0, cPoint(8, 4)}, {7, cPoint(4, 8)}};
  for (const auto& o : objects) {
    auto* u = new cBaseUnit(1, o.owner, o.cell, cIsoPoint(1, 1, 1));
    ASSERT_TRUE(view->addUnit(u));
  }
  view->drawRawLayer(target, 1);
  const int K = cIsoPoint::getXConst(8);
  for (const auto& o : objects) {
    // The ring's bottom corner is the anchor, just below the sprite.
    const cPoint anchor = cIsoPoint(o.cell).convertTo2DScaled(view->getStartPos(), 8);
    const int want = ownerColourRGB(ownerColourIndex(o.owner, 3));
    EXPECT_EQ(rgb(target, anchor.x, anchor.y), want) << o.owner;
  }
  EXPECT_EQ(ownerColourIndex(3, 3), 0);

  clear_to_color(target, 0);
  const cPoint centre = cIsoPoint(cPoint(12, 12)).convertTo2DScaled(view->getStartPos(), 8);
  const cPoint reach = centre + cPoint(K / 2 + K - 2, -K / 2);  // inside radius 1, not 0
  view->setFlashes({{cPoint(12, 12), 1}});
  view->drawRawLayer(target, 4);
  EXPECT_NE(rgb(target, centre.x, centre.y - K / 2), 0);
  EXPECT_NE(rgb(target, reach.x, reach.y), 0);
  clear_to_color(target, 0);
  view->setFlashes({{cPoint(12, 12), 0}});
  view->drawRawLayer(target, 4);
  EXPECT_EQ(rgb(target, reach.x, reach.y), 0) << "a smaller blast, a smaller flash";
  clear_to_color(target, 0);
  view->setFlashes({});
  view->drawRawLayer(target, 4);
  EXPECT_EQ(rgb(target, centre.x, centre.y - K / 2), 0);
}
