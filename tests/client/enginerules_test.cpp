#include <gtest/gtest.h>

#include <allegro.h>
#include <climits>

#include "client/enginerules.h"
#include "support/testhost.h"

namespace {

int key(int scan, int ascii) { return (scan << 8) | ascii; }

TEST(GameKeys, TheKeyTableGoesByScanCodeFirstThenByCharacter)
{
  struct Case {
    int key;
    eKeyAction action;
    cPoint scroll;
  } cases[] = {
      {key(KEY_UP, 0), KEY_ACTION_SCROLL, cPoint(0, 10)},
      {key(KEY_8_PAD, '8'), KEY_ACTION_SCROLL, cPoint(0, 10)},
      {key(KEY_DOWN, 0), KEY_ACTION_SCROLL, cPoint(0, -10)},
      {key(KEY_2_PAD, '2'), KEY_ACTION_SCROLL, cPoint(0, -10)},
      {key(KEY_LEFT, 0), KEY_ACTION_SCROLL, cPoint(10, 0)},
      {key(KEY_4_PAD, '4'), KEY_ACTION_SCROLL, cPoint(10, 0)},
      {key(KEY_RIGHT, 0), KEY_ACTION_SCROLL, cPoint(-10, 0)},
      {key(KEY_6_PAD, '6'), KEY_ACTION_SCROLL, cPoint(-10, 0)},
      {key(KEY_ESC, 27), KEY_ACTION_QUIT, cPoint()},
      {key(KEY_Q, 'q'), KEY_ACTION_QUIT, cPoint()},
      {key(KEY_Q, 'Q'), KEY_ACTION_NONE, cPoint()},
      {key(KEY_PLUS_PAD, '+'), KEY_ACTION_ZOOM_IN, cPoint()},
      {key(KEY_EQUALS, '+'), KEY_ACTION_ZOOM_IN, cPoint()},
      {key(KEY_MINUS, '-'), KEY_ACTION_ZOOM_OUT, cPoint()},
      {key(KEY_L, 'l'), KEY_ACTION_RELOAD_TOOLBAR, cPoint()},
      {key(KEY_S, 's'), KEY_ACTION_SCREENSHOT, cPoint()},
      {key(KEY_T, 't'), KEY_ACTION_SELF_TEST, cPoint()},
      {key(KEY_A, 'a'), KEY_ACTION_NONE, cPoint()},
      {key(KEY_8, '8'), KEY_ACTION_NONE, cPoint()},
      // A scan code of the table wins over its character.
      {key(KEY_UP, 'q'), KEY_ACTION_SCROLL, cPoint(0, 10)},
  };
  for (const Case& c : cases) {
    const cKeyAction a = gameKeyAction(c.key);
    EXPECT_EQ(a.action, c.action) << std::hex << c.key;
    EXPECT_EQ(a.scroll, c.scroll) << std::hex << c.key;
  }
}

TEST(GameCycles, ModesAndBuildTypesWrap)
{
  const eMode modes[][2] = {
      {MODE_SELECT, MODE_BUILD}, {MODE_BUILD, MODE_COMMAND}, {MODE_COMMAND, MODE_SELECT}};
  for (const auto& m : modes) EXPECT_EQ(nextMode(m[0]), m[1]);
  const int types[][2] = {{1, 2}, {5, 6}, {8, 9}, {9, 1}};
  for (const auto& t : types) EXPECT_EQ(nextBuildType(t[0]), t[1]);
}

TEST(ToolbarLayout, SixItemsFitLeftOfTheMinimapOnEveryScreen)
{
  const cPoint screens[] = {cPoint(640, 480), cPoint(800, 600), cPoint(1024, 768),
                            cPoint(1280, 1024)};
  for (const cPoint& s : screens) {
    const int toolbarHeight = s.x / 6;
    const int viewBottom = s.y - toolbarHeight - 5;
    const int minimapLeft = s.x - 5 - (s.y - viewBottom);
    int previousRight = 0;
    for (int i = 0; i < 6; ++i) {
      const cRect r = toolbarItemRect(i, s.y, toolbarHeight, minimapLeft);
      EXPECT_GT(r.left(), previousRight) << s.x << " item " << i;
      EXPECT_LT(r.right(), minimapLeft) << s.x << " item " << i;
      EXPECT_EQ(r.bottom(), s.y - 3) << s.x;
      EXPECT_EQ(r.myHeight(), toolbarHeight) << s.x;
      EXPECT_GT(r.top(), viewBottom) << s.x;
      previousRight = r.right();
    }
  }
  // At 640 x 480: the minimap starts at 524, so the pitch is 85 and an item 82 wide.
  EXPECT_EQ(toolbarItemRect(0, 480, 106, 524), cRect(5, 371, 87, 477));
  EXPECT_EQ(toolbarItemRect(5, 480, 106, 524), cRect(430, 371, 512, 477));
}

int screenWidth640() { return 640; }

TEST(MinimapRecentre, TheClickedTileLandsAtTheCentreOfTheView)
{
  cTestHost host(screenWidth640);
  const struct {
    cPoint tile;
    int viewWidth, viewHeight, zoom;
  } cases[] = {{cPoint(50, 50), 640, 354, 11},
               {cPoint(0, 99), 640, 354, 1},
               {cPoint(99, 0), 640, 354, 20},
               {cPoint(10, 70), 640, 200, 7}};
  for (const auto& c : cases) {
    const cPoint offset = centreOffsetFor(c.tile, c.viewHeight, c.zoom);
    // The view draws tile (0, 0)'s anchor at offset + (W/2, 0).
    const cPoint start = offset + cPoint(c.viewWidth / 2, 0);
    const cPoint anchor = cIsoPoint(c.tile).convertTo2DScaled(start, c.zoom);
    EXPECT_EQ(anchor, cPoint(c.viewWidth / 2, c.viewHeight / 2)) << c.tile.x << "," << c.tile.y;
  }
}

TEST(Statistics, LinesForLocalAndNetworkGamesHoldAnyValue)
{
  cGameStatistics local;
  local.ticks = 1234;
  local.mapSize = cPoint(100, 100);
  local.buildings = 6;
  local.units = 4;
  local.terrainKinds = 9;
  local.buildingKinds = 6;
  local.unitKinds = 2;
  local.mode = 1;
  local.buildType = 1;
  const std::vector<std::string> expected = {"Game statistics...",
                                             "Game ticks: 1234. ",
                                             "Local game",
                                             "Map 100x100 with 6 buildings and 4 units. ",
                                             "Datafile has 9 terrains, 6 buildings and 2 units",
                                             "Current mode is 1 object to build is 1.",
                                             "---"};
  EXPECT_EQ(statisticsLines(local), expected);

  cGameStatistics network = local;
  network.networkGame = true;
  network.ticks = 5000000000LL;  // past 32 bits
  network.playerName = "newuser";
  network.playerHost = "localhost";
  network.playerID = 3;
  network.mapSize = cPoint(INT_MIN, INT_MAX);
  network.buildings = LONG_MIN;
  const std::vector<std::string> lines = statisticsLines(network);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[1], "Game ticks: 5000000000. ");
  EXPECT_EQ(lines[2], "Network game");
  EXPECT_EQ(lines[3], "Player: newuser@localhost ID=3. ");
  EXPECT_EQ(lines[4], "Map -2147483648x2147483647 with " + std::to_string(LONG_MIN) +
                          " buildings and 4 units. ");
}

TEST(PositionText, HoldsTheLargestValuesWhole)
{
  EXPECT_EQ(positionText(cPoint(1, 3), cPoint(2, 2)), "(1,3)->(2,2)");
  EXPECT_EQ(positionText(cPoint(INT_MIN, INT_MAX), cPoint(INT_MIN, -1)),
            "(-2147483648,2147483647)->(-2147483648,-1)");
}

}  // namespace

TEST(ArrowScroll, HeldArrowsMoveTheViewAtEdgeSpeedAndOppositesCancel)
{
  const struct {
    bool up, down, left, right;
    cPoint step;
  } rows[] = {
      {false, false, false, false, cPoint(0, 0)}, {true, false, false, false, cPoint(0, 8)},
      {false, true, false, false, cPoint(0, -8)}, {false, false, true, false, cPoint(8, 0)},
      {false, false, false, true, cPoint(-8, 0)}, {true, false, false, true, cPoint(-8, 8)},
      {true, true, true, true, cPoint(0, 0)},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(arrowScroll(r.up, r.down, r.left, r.right), r.step);
    // The held direction scrolls the way a tap on the same arrow does.
    const int scan = r.up ? KEY_UP : r.down ? KEY_DOWN : r.left ? KEY_LEFT : KEY_RIGHT;
    if (r.up + r.down + r.left + r.right != 1) continue;
    const cPoint tap = gameKeyAction(scan << 8).scroll;
    EXPECT_EQ(tap.x * r.step.x >= 0 && tap.y * r.step.y >= 0, true) << scan;
  }
}
