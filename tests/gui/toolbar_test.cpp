#include <gtest/gtest.h>

#include <fstream>

#include "gui/fonts.h"
#include "gui/guitest.h"
#include "gui/menu.h"
#include "gui/toolbar.h"
#include "support/testdirectory.h"

namespace {
// Three items in a row, 20 pixels wide, at x 0, 20 and 40.
void layOut(cToolbar& bar)
{
  for (int i = 0; i < bar.myCount(); i++) bar.setItemsPos(i, cRect(20 * i, 0, 20 * i + 20, 20));
}

int clickAt(cToolbar& bar, int x)
{
  bar.doMe(at(x, 5));
  bar.doMe(at(x, 5, 1));
  bar.doMe(at(x, 5));
  return bar.myMessage();
}
}  // namespace

TEST(Toolbar, ReportsTheClickedItemAndTheHighestOfOverlappingOnes)
{
  cToolbar bar(3);
  layOut(bar);
  EXPECT_EQ(clickAt(bar, 25), 1);
  EXPECT_EQ(clickAt(bar, 100), -1);
  bar.setItemsPos(2, cRect(0, 0, 60, 20));  // now covers item 0 and 1 too
  EXPECT_EQ(clickAt(bar, 5), 2);
  bar.clearMessage();
  EXPECT_EQ(bar.myMessage(), -1);
}

TEST(Toolbar, DisabledItemsNeitherReportNorChangeState)
{
  cToolbar bar(3);
  layOut(bar);
  for (int i = 0; i < 3; i++) bar.setEnabled(i, false);
  for (int x : {5, 25, 45}) EXPECT_EQ(clickAt(bar, x), -1);
  for (int i = 0; i < 3; i++) EXPECT_EQ(bar.getItemNo(i)->myState(), stateIdle);
}

// Counts below 1 and indices outside the items are ignored instead of reaching memory.
TEST(Toolbar, EmptyToolbarsAndOutOfRangeIndicesAreHarmless)
{
  for (int n : {0, -3}) {
    cToolbar bar(n);
    EXPECT_EQ(bar.myCount(), 0);
    EXPECT_EQ(clickAt(bar, 5), -1);
    cScratch page(10, 10);
    bar.draw(page);
  }
  cToolbar bar(2);
  for (int i : {-1, 2, 1000}) {
    EXPECT_EQ(bar.getItemNo(i), nullptr);
    EXPECT_EQ(bar.doItem(i), 0);
    bar.setItemsPos(i, cRect(0, 0, 5, 5));
    bar.setItemsText(i, "x", 0);
    bar.setItemsTextT(i, "x", nullptr, 0);
    bar.setItemsImage(i, nullptr);
    bar.clearItemsImage(i);
    bar.setEnabled(i, false);
  }
}

// A menu shown again after a game must not take the game's clicks (latched while the menu
// was not polled) for a click on the entry under the pointer.
TEST(Toolbar, ClicksLatchedBeforeForgetEarlierClicksDoNotCount)
{
  cToolbar bar(3);
  layOut(bar);
  cMouse resting = at(25, 5);
  resting.presses = latchedPresses();
  bar.doMe(resting);
  struct Row {
    bool forget;
    int message;
  } rows[] = {{true, -1}, {false, 1}};
  for (const Row& row : rows) {
    latchMouseEdges(MOUSE_FLAG_LEFT_DOWN);
    latchMouseEdges(MOUSE_FLAG_LEFT_UP);
    if (row.forget) bar.forgetEarlierClicks();
    cMouse later = resting;
    later.presses = latchedPresses();
    later.pressedButtons = 1;
    bar.doMe(later);
    EXPECT_EQ(bar.myMessage(), row.message) << (row.forget ? "forgotten" : "kept");
  }
}

TEST(Toolbar, AssignmentCopiesEveryItemAndResizes)
{
  cToolbar big(4);
  layOut(big);
  big.setItemsText(3, "last", makecol(255, 0, 0));
  cToolbar small(1);
  small = big;
  ASSERT_EQ(small.myCount(), 4);
  EXPECT_STREQ(small.getItemNo(3)->myTextText(), "last");
  EXPECT_EQ(small.getItemNo(3)->toRect(), cRect(60, 0, 80, 20));
  big.setItemsText(3, "changed", 0);
  EXPECT_STREQ(small.getItemNo(3)->myTextText(), "last");
  small = small;
  EXPECT_EQ(clickAt(small, 65), 3);
  cToolbar copy(small);
  EXPECT_EQ(copy.myCount(), 4);
}

TEST(Menu, EntriesFollowTheScreenWidthAndKeysChoose)
{
  if (!openScreen(32, 640, 480)) GTEST_SKIP() << "no display";
  const char* captions[] = {"Network Game", "Local Game", "Options", "Credits", "Quit Game"};
  cMenu four(nullptr, 4, captions);
  const cRect expected[] = {cRect(40, 80, 600, 155), cRect(40, 160, 600, 235),
                            cRect(40, 240, 600, 315), cRect(40, 320, 600, 395)};
  for (int i = 0; i < 4; i++) EXPECT_EQ(four.myToolbar().getItemNo(i)->toRect(), expected[i]);

  cMenu five(nullptr, 5, captions);
  struct Row {
    int key, choice;
  } rows[] = {{KEY_ESC << 8 | 27, 5},
              {KEY_Q << 8 | 'q', 5},
              {KEY_S << 8 | 's', 6},
              {KEY_X << 8 | 'x', -1},
              {0, -1}};
  for (const Row& row : rows) EXPECT_EQ(five.choose(at(0, 0), row.key), row.choice) << row.key;
  five.choose(at(50, 100), 0);
  five.choose(at(50, 100, 1), 0);
  EXPECT_EQ(five.choose(at(50, 100), 0), 1) << "a click on the first entry";

  cMenu none(nullptr, 0, nullptr);
  EXPECT_EQ(none.choose(at(0, 0), KEY_ESC << 8), 0);
}

// A background of any size is stretched over the screen; the real one is 1024 x 768, a
// smaller one used to be read past its end.
TEST(Menu, BackgroundIsStretchedFromItsRealSize)
{
  if (!openScreen(32, 320, 240)) GTEST_SKIP() << "no display";
  BITMAP* small = create_bitmap(32, 24);
  clear_to_color(small, makecol(0, 64, 64));
  cMenu menu(small, 2, nullptr);
  menu.draw();
  EXPECT_EQ(rgbAt(screen, 319, 239), rgb(0, 64, 64));
  EXPECT_EQ(rgbAt(screen, 0, 0), rgb(0, 64, 64));
  destroy_bitmap(small);
}

// A times.ttf that exists but is no font gives the default font.
TEST(Menu, UnreadableTrueTypeFileFallsBackToTheDefaultFont)
{
  cTestDirectory dir;
  ASSERT_TRUE(dir.ok());
  std::ofstream("times.ttf") << "not a font";
  cMenu menu(nullptr, 1, nullptr);
  EXPECT_EQ(menu.myFont(), defaultFont());
}
