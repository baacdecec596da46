// The game screen composed into a 1024 x 768 memory bitmap standing for the screen, laid out
// as the game lays it out: status strip (0, 0)-(1024, 15), map view (0, 15)-(1024, 593),
// panel (0, 593)-(1024, 768) with the minimap in its right-hand corner.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/guicollection.h"
#include "gui/toolbar.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "viewtest.h"

namespace {

constexpr int sentinel = 0x123456;

class IsoScreen : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(world.open());
    view = std::make_unique<cIsoViewRect>(cPoint(30, 30));
    view->getView().fillTerrain(cRect(0, 0, 30, 30), 1);
    const cRect viewArea(0, 15, 1024, 593);
    view->setBounds(viewArea);
    cIsoView& map = view->getView();
    gui = std::make_unique<cGUICollection>(cRect(0, 0, 1024, 768));
    minimap =
        new cMinimap(cPoint(1024 - 5 - 175, 595), cPoint(1019, 766), map.getLayer(LAYER_OBJECTS),
                     map.getLayer(LAYER_UNITS), map.getLayer(LAYER_TERRAIN));
    gui->addElement(minimap);
    toolbars = std::make_unique<cToolbar[]>(4);  // buttons need the graphics mode
    for (int i = 0; i < 4; ++i) gui->addElement(false, &toolbars[i]);
    texture = ViewWorld::solid(16, 16, 0x406080);
    messages = create_bitmap(1024, 578 / 8);
    clear_to_color(messages, makecol(255, 255, 255));
    screenParts.scratch = create_bitmap(1024, 768);
    clear_bitmap(screenParts.scratch);
    screenParts.screenRect = cRect(0, 0, 1024, 768);
    screenParts.viewArea = viewArea;
    screenParts.view = view.get();
    screenParts.gui = gui.get();
    screenParts.toolbars = toolbars.get();
    screenParts.minimap = minimap;
    screenParts.panelBackground = texture;
    screenParts.messageBitmap = messages;
    screenParts.version = "0.26.21";
    destination = ViewWorld::solid(1024, 768, sentinel);
  }
  void TearDown() override
  {
    gui.reset();
    toolbars.reset();
    view.reset();
    for (BITMAP* b : {texture, messages, screenParts.scratch, destination})
      if (b) destroy_bitmap(b);
  }
  // The rectangle that holds every pixel no longer equal to the sentinel; empty if none.
  cRect changed() const
  {
    cRect box(1024, 768, 0, 0);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x)
        if (rgb(destination, x, y) != sentinel) {
          box.left() = std::min(box.left(), x), box.top() = std::min(box.top(), y);
          box.right() = std::max(box.right(), x + 1), box.bottom() = std::max(box.bottom(), y + 1);
        }
    return box.isEmpty() ? cRect() : box;
  }
  void reset() { clear_to_color(destination, makecol(0x12, 0x34, 0x56)); }

  ViewWorld world;
  std::unique_ptr<cIsoViewRect> view;
  std::unique_ptr<cGUICollection> gui;
  cMinimap* minimap = nullptr;  // owned by gui
  std::unique_ptr<cToolbar[]> toolbars;
  BITMAP* texture = nullptr;
  BITMAP* messages = nullptr;
  BITMAP* destination = nullptr;
  cIsoScreen screenParts;
};

TEST_F(IsoScreen, EachFlagCopiesOnlyItsPart)
{
  const struct {
    int parts;
    cRect area;
  } cases[] = {
      {0, cRect()},
      {REDRAW_STATUS, cRect(0, 0, 1024, 15)},
      {REDRAW_PANEL, cRect(0, 593, 1024, 768)},
      {REDRAW_WIDGETS, cRect(844, 594, 1018, 768)},  // the minimap square, clipped
      {REDRAW_CURSOR, cRect(0, 15, 1024, 593)},
      {REDRAW_MAP, cRect(0, 15, 1024, 593)},
      {31, cRect(0, 0, 1024, 768)},
  };
  for (const auto& c : cases) {
    reset();
    ASSERT_TRUE(drawIsoScreen(c.parts, screenParts, destination));
    EXPECT_EQ(changed(), c.area) << "parts " << c.parts;
  }
}

TEST_F(IsoScreen, StatusStripShowsTheStateAndMapShowsTheOverlay)
{
  reset();
  drawIsoScreen(REDRAW_STATUS | REDRAW_MAP, screenParts, destination);
  int white = 0;
  for (int x = 2; x < 400; ++x) white += rgb(destination, x, 8) == 0xffffff;
  EXPECT_GT(white, 20);  // the status text
  // No message rows: nothing over the map.
  EXPECT_EQ(rgb(destination, 5, 20), 0);
}

namespace {
double luminance(int rgb)
{
  double sum = 0;
  const double weights[3] = {0.2126, 0.7152, 0.0722};
  for (int i = 0; i < 3; ++i) {
    const double c = ((rgb >> (16 - 8 * i)) & 255) / 255.0;
    sum += weights[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
  }
  return sum;
}
}  // namespace

// The messages' rows get a dark backing; white text on it reads at 4.5 : 1 or more even
// where the map is at its lightest, and the map below the rows stays as it is.
TEST_F(IsoScreen, MessagesStandOnADarkBackingOverTheLightestMap)
{
  clear_to_color(screenParts.scratch, makecol(255, 255, 255));
  clear_to_color(messages, bitmap_mask_color(messages));
  rectfill(messages, 0, 0, 3, 7, makecol(255, 255, 255));  // a "letter" in the first row
  screenParts.messageHeight = 16;
  drawMessageOverlay(screenParts);
  const int text = rgb(screenParts.scratch, 1, 15 + 3),
            backing = rgb(screenParts.scratch, 50, 15 + 12);
  EXPECT_EQ(text, 0xffffff);
  EXPECT_GE((luminance(text) + 0.05) / (luminance(backing) + 0.05), 4.5) << std::hex << backing;
  EXPECT_EQ(rgb(screenParts.scratch, 50, 15 + 30), 0xffffff) << "below the rows";
  screenParts.messageHeight = 0;
  clear_to_color(screenParts.scratch, makecol(255, 255, 255));
  drawMessageOverlay(screenParts);
  EXPECT_EQ(rgb(screenParts.scratch, 50, 15 + 12), 0xffffff) << "no rows, no backing";
}

TEST_F(IsoScreen, PanelShowsOneToolbarAndWidgetsHandTheViewToTheMinimap)
{
  screenParts.toolbarState = 3;
  drawIsoScreen(REDRAW_PANEL, screenParts, destination);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(toolbars[i].isHidden(), i != 2) << i;
    EXPECT_EQ(toolbars[i].isEnabled(), i == 2) << i;
  }
  view->checkScroll();
  reset();
  drawIsoScreen(REDRAW_WIDGETS, screenParts, destination);
  EXPECT_FALSE(minimap->needsRedraw());  // drawn through the collection's marks
  int red = 0;
  for (int y = 595; y < 766; ++y)
    for (int x = 844; x < 1019; ++x) red += rgb(destination, x, y) == 0xff0000;
  EXPECT_GT(red, 10);  // the view's outline
}

TEST_F(IsoScreen, ScratchMustCoverTheScreen)
{
  BITMAP* small = create_bitmap(100, 100);
  BITMAP* kept = screenParts.scratch;
  screenParts.scratch = small;
  EXPECT_FALSE(drawIsoScreen(31, screenParts, destination));
  screenParts.scratch = nullptr;
  EXPECT_FALSE(drawIsoScreen(31, screenParts, destination));
  screenParts.scratch = kept;
  destroy_bitmap(small);
  EXPECT_EQ(changed(), cRect());
}

}  // namespace
