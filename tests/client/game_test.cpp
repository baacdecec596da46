// One game in-process under the test's own Xvfb: the real data files of the build's run
// folder, a fake clock, and the game's input handed over directly.
#include <gtest/gtest.h>

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "client/clientsuite.h"
#include "gui/canvas.h"
#include "gui/toolbar.h"
#include "render/isoviewrect.h"
#include "support/serverprocess.h"
#include "world/metadatabase.h"

// A local game on the built-in map at 640 x 480, 16 bits, started and ready for its first pass.
class cGameTest : public cClientTest {
protected:
  void SetUp() override
  {
    cClientTest::SetUp();
    if (HasFatalFailure()) return;
    player = new cPlayer();
    game = std::make_unique<cGame>(*context, clock, bars, player, builtinView());
  }
  void TearDown() override
  {
    game.reset();
    cClientTest::TearDown();
  }

  cIsoView& map() { return game->map(); }
  cCommandState& choices() { return game->myChoices(); }
  eMode mode() { return choices().mode; }
  eToolbarState toolbarState() { return choices().toolbarState; }
  int buildType() { return choices().buildType; }
  int64_t ticks() { return game->myTicks(); }
  cBaseObject* lastSelected() { return choices().lastSelected; }
  const cMessageCanvas& messages() { return game->myMessages(); }
  const cChatLine& chat() { return game->myChat().myLine(); }
  void chatKey(int scan, int ascii) { game->myChat().handleKey(scan << 8 | ascii); }
  cIsoViewRect& view() { return game->myView(); }
  // What a finished game still points at, by name; empty when nothing.
  std::string leftOver()
  {
    std::string left;
    if (lastSelected()) left += " lastSelected";
    if (returnIcon()) left += " returnIcon";
    for (eToolbarState t :
         {TOOLBAR_MAIN, TOOLBAR_TO_BUILD, TOOLBAR_BUILDING_INFO, TOOLBAR_UNIT_INFO})
      for (int i = 0; i < toolbar(t).myCount(); ++i)
        if (toolbar(t).getItemNo(i)->myBitmap(0)) left += " toolbar icon";
    if (map().hasSelection()) left += " selection";
    if (map().getToBuild()) left += " preview";
    return left;
  }
  cToolbarCommands& toolbars() { return game->myToolbars(); }
  cToolbar& toolbar(int i) { return toolbars().toolbar(eToolbarState(i + 1)); }
  cToolbar& toolbar(eToolbarState t) { return toolbars().toolbar(t); }
  BITMAP* returnIcon() { return toolbars().myReturnIcon(); }
  std::string lastMessage()
  {
    const cQueueNode* last = messages().head;
    while (last && last->getNext()) last = last->getNext();
    return last ? last->myData() : "";
  }
  // The pending redraw flags, taken.
  int takeRedraw() { return cGameEngine::redraw.exchange(0); }
  // A click of `buttons` with the pointer on map tile `tile` (view centre when it is null).
  void clickTile(cPoint tile, int buttons)
  {
    game->myMapInput().setPointer(screenPointOf(tile), buttons);
    game->myMapInput().processMouseClickedInMap();
  }
  void moveTo(cPoint tile)
  {
    game->myMapInput().setPointer(screenPointOf(tile));
    game->myMapInput().processMouseMoveInMap();
  }
  // The screen point in the middle of a tile's diamond.
  cPoint screenPointOf(cPoint tile)
  {
    game->drawIsoScreen(31);
    const int k = cIsoPoint::getXConst(map().getZoom());
    const cPoint anchor = cIsoPoint(tile).convertTo2DScaled(map().getStartPos(), map().getZoom());
    return anchor + cPoint(0, -k / 2) + game->myLayout().viewArea.topLeft;
  }

  cPlayer* player = nullptr;  // the game's
  cGameToolbars bars;
  std::unique_ptr<cGame> game;
};

TEST_F(cGameTest, ToolbarItemsSwitchModesToolbarsAndRedrawFlags)
{
  struct Step {
    const char* what;
    int toolbar;  // 1 main, 2 to-build, 3 building, 4 unit information
    int item;
    int mode, toolbarState, buildType, redraw;
  } steps[] = {
      {"main: redraw", 1, 0, 1, 1, 1, 31},
      {"main: to-build", 1, 4, 1, 2, 1, 2},
      {"to-build: type 3", 2, 2, 2, 2, 3, 0},
      {"to-build: back", 2, 5, 2, 1, 3, 2},
      {"main: message ends build mode", 1, 5, 1, 1, 3, 1},
      {"main: message keeps select mode", 1, 5, 1, 1, 3, 0},
      {"main: diagnostic wraps the type", 1, 6, 1, 1, 4, 0},
      {"main: nothing clicked", 1, -1, 1, 1, 4, 0},
  };
  for (const Step& s : steps) {
    takeRedraw();
    if (s.toolbar == 1) toolbars().processMainToolbar(s.item);
    if (s.toolbar == 2) toolbars().processToBuildToolbar(s.item);
    EXPECT_EQ(takeRedraw(), s.redraw) << s.what;
    EXPECT_EQ(mode(), s.mode) << s.what;
    EXPECT_EQ(toolbarState(), s.toolbarState) << s.what;
    EXPECT_EQ(buildType(), s.buildType) << s.what;
  }
  for (int i = 0; i < 5; ++i) toolbars().processMainToolbar(6);
  EXPECT_EQ(buildType(), 9);
  toolbars().processMainToolbar(6);
  EXPECT_EQ(buildType(), 1);
}

// Every key goes into the open box, game keys too; Esc only closes it, Return shows the line
// (a local game has no one to send it to) and writes it to the log at once.
TEST_F(cGameTest, ChatBoxTakesEveryKeyUntilReturnOrEsc)
{
  toolbars().processMainToolbar(5);
  ASSERT_TRUE(chat().isOpen());
  chatKey(KEY_Q, 'q');
  chatKey(KEY_ESC, 27);
  EXPECT_FALSE(chat().isOpen());
  EXPECT_FALSE(cGameEngine::q);
  const int before = messages().number();
  toolbars().processMainToolbar(5);
  EXPECT_EQ(chat().myText(), "");
  for (char c : std::string("hello q+-s")) chatKey(0, c);
  chatKey(KEY_BACKSPACE, 8);
  chatKey(KEY_LEFT, 0);
  chatKey(KEY_F1, 0);
  chatKey(0, '\t');
  chatKey(KEY_ENTER, 13);
  EXPECT_FALSE(chat().isOpen());
  EXPECT_FALSE(cGameEngine::q);
  EXPECT_EQ(messages().number(), before + 1);
  EXPECT_EQ(lastMessage(), "hello q+-");
  EXPECT_NE(fileText("log.txt").find("Message: hello q+-\n"), std::string::npos);

  toolbars().processMainToolbar(5);
  for (int i = 0; i < cPlayer::maxChatText + 20; ++i) chatKey(0, 'a' + i % 26);
  EXPECT_EQ(int(chat().myText().size()), cPlayer::maxChatText);
  chatKey(KEY_ENTER_PAD, 13);
  EXPECT_EQ(lastMessage().size(), size_t(cPlayer::maxChatText));
  EXPECT_EQ(messages().number(), before + 2);
}

TEST_F(cGameTest, ZoomStaysWithinOneAndTwentyWithoutAMessageAtTheEnds)
{
  struct Case {
    int from;
    bool in;
    int to;
    int newMessages;
  } cases[] = {
      {19, true, 20, 1}, {20, true, 20, 0}, {2, false, 1, 1}, {1, false, 1, 0}, {11, true, 12, 1}};
  for (const Case& c : cases) {
    view().setZoom(c.from);
    const int before = messages().number();
    takeRedraw();
    if (c.in)
      game->myViewControl().increase_zoom();
    else
      game->myViewControl().decrease_zoom();
    EXPECT_EQ(map().getZoom(), c.to) << c.from;
    EXPECT_EQ(messages().number() - before, c.newMessages) << c.from;
    EXPECT_EQ(takeRedraw(), c.newMessages ? 20 : 0) << c.from;
  }
}

TEST_F(cGameTest, StatisticsGoToTheMessages)
{
  const int before = messages().number();
  toolbars().processMainToolbar(2);
  EXPECT_EQ(messages().number() - before, 7);
}

TEST_F(cGameTest, ASelectedUnitWalksTwentyCellsInAboutTwoSeconds)
{
  clickTile(cPoint(15, 15), 1);
  ASSERT_NE(lastSelected(), nullptr);
  EXPECT_EQ(lastSelected()->myPosition(), cPoint(15, 15));
  EXPECT_EQ(toolbarState(), 4);
  EXPECT_EQ(mode(), 3);
  testing::internal::CaptureStdout();
  clickTile(cPoint(35, 15), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "move 1\n");
  cBaseObject* unit = lastSelected();
  const int64_t start = clock.t;
  while (unit->myPosition() != cPoint(35, 15) && clock.t - start < 10000000) game->runPass();
  EXPECT_EQ(unit->myPosition(), cPoint(35, 15));
  EXPECT_NEAR(double(clock.t - start) / 1e6, 2.0, 0.25);
  EXPECT_NEAR(double(ticks()), 20, 2);
  // The occupancy numbers followed every step: a click on the unit's new tile picks it.
  choices().mode = MODE_SELECT;
  clickTile(cPoint(35, 15), 1);
  EXPECT_EQ(lastSelected(), unit);
}

TEST_F(cGameTest, EveryThousandthTurnRunsNothing)
{
  while (ticks() < 998) game->runTurn();
  clickTile(cPoint(15, 15), 1);
  clickTile(cPoint(30, 15), 2);
  cBaseObject* unit = lastSelected();
  game->runTurn();
  const cPoint afterTurn999 = unit->myPosition();
  EXPECT_NE(afterTurn999, cPoint(15, 15));
  game->runTurn();
  EXPECT_EQ(unit->myPosition(), afterTurn999);
  game->runTurn();
  EXPECT_NE(unit->myPosition(), afterTurn999);
  EXPECT_EQ(ticks(), 1001);
}

TEST_F(cGameTest, ABuildingIsPlacedOnceAndItsPreviewNeverSticksOffTheMap)
{
  const int buildings = map().getBuildings()->number();
  toolbars().processToBuildToolbar(0);
  ASSERT_EQ(mode(), MODE_BUILD);
  takeRedraw();
  moveTo(cPoint(40, 40));
  ASSERT_NE(map().getToBuild(), nullptr);
  EXPECT_EQ(map().getToBuild()->myPosition(), cPoint(40, 40));
  EXPECT_EQ(takeRedraw(), 8);
  moveTo(cPoint(-3, 40));
  EXPECT_EQ(map().getToBuild(), nullptr);
  clickTile(cPoint(40, 40), 1);
  EXPECT_EQ(map().getBuildings()->number(), buildings + 1);
  EXPECT_EQ(mode(), MODE_SELECT);
  toolbars().processToBuildToolbar(0);
  clickTile(cPoint(40, 40), 1);
  EXPECT_EQ(map().getBuildings()->number(), buildings + 1);
  EXPECT_EQ(mode(), MODE_BUILD);
  // Another button paints the tile, announced through the map.
  clickTile(cPoint(60, 60), 2);
  EXPECT_EQ(map().getTerrain(cPoint(60, 60)), 2);
}

TEST_F(cGameTest, LeavingAGameLeavesNoPointerIntoWhatItFreed)
{
  clickTile(cPoint(15, 15), 1);
  toolbars().processToBuildToolbar(0);
  moveTo(cPoint(40, 40));
  ASSERT_TRUE(map().hasSelection());
  game->leave();
  EXPECT_EQ(leftOver(), "");
}

TEST_F(cGameTest, AScreenshotThatCannotBeWrittenSaysSo)
{
  for (bool writable : {true, false}) {
    if (!writable) {
      ASSERT_EQ(unlink("dump.png"), 0);
      ASSERT_EQ(mkdir("dump.png", 0700), 0);  // a folder cannot be overwritten
    }
    simulate_keypress(KEY_SPACE << 8 | ' ');
    EXPECT_EQ(takeScreenShot(), writable);
    EXPECT_FALSE(keypressed());
  }
}

// Switching away leaves the pointer where it is and stops edge scrolling until the switch
// back, which redraws everything.
TEST_F(cGameTest, SwitchingAwayStopsEdgeScrollingAndLeavesThePointerAlone)
{
  position_mouse(2, 200);  // on the left edge of the map view
  testing::internal::CaptureStdout();
  cGameEngine::display_switch_callback_out();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "bye\n");
  poll_mouse();
  EXPECT_EQ(cPoint(mouse_x, mouse_y), cPoint(2, 200)) << "the pointer was moved";
  const cPoint before = view().getOffset();
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(view().checkScroll()) << "scrolled while switched out";
  EXPECT_EQ(view().getOffset(), before);
  takeRedraw();
  testing::internal::CaptureStdout();
  cGameEngine::display_switch_callback();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "back!\n");
  EXPECT_EQ(takeRedraw(), 31);
  // Back in, the same pointer scrolls the view again (when the display reports it inside).
  if (mouse_on_screen()) {
    bool moved = false;
    for (int i = 0; i < 5 && !moved; ++i) moved = view().checkScroll();
    EXPECT_TRUE(moved) << "edge scrolling did not resume";
  }
}

// Without "return.png" the back items show an icon of 0 pixels, never uninitialised memory.
TEST_F(cGameTest, AMissingReturnIconIsClearedAndShownOnTheBackItems)
{
  ASSERT_NE(returnIcon(), nullptr);
  int set = 0;
  for (int y = 0; y < returnIcon()->h; ++y)
    for (int x = 0; x < returnIcon()->w; ++x) set += getpixel(returnIcon(), x, y) != 0;
  EXPECT_EQ(set, 0);
  EXPECT_EQ(toolbar(1).getItemNo(5)->myBitmap(0), returnIcon());
  clickTile(cPoint(15, 15), 1);
  EXPECT_EQ(toolbar(3).getItemNo(5)->myBitmap(0), returnIcon());
}

TEST_F(cGameTest, DiagnoseSaysWhenMap1CannotBeWritten)
{
  for (bool writable : {true, false}) {
    if (!writable) {
      ASSERT_EQ(mkdir("map1", 0700), 0) << "map1 left from the first round";
    }
    simulate_keypress(KEY_SPACE << 8 | ' ');
    takeRedraw();
    toolbars().processMainToolbar(1);
    EXPECT_EQ(takeRedraw(), 31);
    EXPECT_EQ(lastMessage() == "Could not write map1.", !writable) << lastMessage();
    if (writable) {
      struct stat st {};
      EXPECT_EQ(stat("map1", &st), 0);
      ASSERT_EQ(unlink("map1"), 0);
    }
  }
}

// Types the catalogue lacks place and show nothing (the diagnostic branch cycles the type up
// to 9 whatever the catalogue holds).
TEST_F(cGameTest, BuildingTypesOutsideTheCatalogueAreNeverLookedUp)
{
  const int known = context->catalogue->retrieveMaxObjects();
  const int buildings = map().getBuildings()->number();
  for (int type : {0, known, known + 100, -1}) {
    choices().buildType = type;
    choices().mode = MODE_BUILD;
    moveTo(cPoint(40, 40));
    EXPECT_EQ(map().getToBuild(), nullptr) << type;
    clickTile(cPoint(40, 40), 1);
    EXPECT_EQ(map().getBuildings()->number(), buildings) << type;
    cBaseObject strange(type, 0, cPoint(1, 1), cPoint(1, 1));
    toolbars().initBuildingInfoToolbar(&strange);
    EXPECT_EQ(toolbar(2).getItemNo(0)->myBitmap(0), nullptr) << type;
  }
  choices().buildType = known - 1;
  choices().mode = MODE_BUILD;
  moveTo(cPoint(41, 41));
  EXPECT_NE(map().getToBuild(), nullptr) << "the last known type";
}

// A click on one toolbar's item must not fire the item under the pointer of the toolbar it
// switches to (hidden toolbars are not polled, so they see the click only later).
TEST_F(cGameTest, AToolbarShownAgainIgnoresClicksMadeWhileItWasHidden)
{
  const cRect backItem = toolbar(1).getItemNo(5)->toRect();
  ASSERT_EQ(toolbar(0).getItemNo(5)->toRect(), backItem) << "the test needs one layout";
  position_mouse(backItem.left() + 5, backItem.top() + 5);
  // A warp brings no crossing event on every X server: tell Allegro the pointer is in.
  _mouse_on = TRUE;
  game->drawIsoScreen(31);
  toolbars().processMainToolbar(4);
  game->drawIsoScreen(takeRedraw());
  latchMouseEdges(MOUSE_FLAG_LEFT_DOWN);
  latchMouseEdges(MOUSE_FLAG_LEFT_UP);
  toolbar(1).doMe();
  ASSERT_EQ(toolbar(1).myMessage(), 5) << "the latched click reaches the shown toolbar";
  toolbars().processToBuildToolbar(5);
  game->drawIsoScreen(takeRedraw());
  toolbar(0).doMe();
  EXPECT_EQ(toolbar(0).myMessage(), -1) << "the main toolbar took the click on \"Back\"";
}

// A game loaded in place is set up for its player as a started game is: over the bottom
// panel only the screen's last 2 pixels scroll the view.
TEST_F(cGameTest, AQuickLoadedGameKeepsTheBottomPanelFromScrollingTheView)
{
  ASSERT_TRUE(game->quickSave());
  ASSERT_TRUE(game->quickLoad());
  struct Case {
    int y;  // pixels above the screen's bottom
    bool scrolls;
  } cases[] = {{20, false}, {1, true}};
  for (const Case& c : cases) {
    position_mouse(SCREEN_W / 2, SCREEN_H - c.y);
    // A warp brings no crossing event on every X server: tell Allegro the pointer is in.
    _mouse_on = TRUE;
    const cPoint before = view().getOffset();
    view().checkScroll();
    EXPECT_EQ(view().getOffset() != before, c.scrolls) << c.y;
  }
}
