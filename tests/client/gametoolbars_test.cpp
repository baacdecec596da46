// The bottom panel's toolbars on a session of their own under the test's own Xvfb: no main
// loop, no display-switch callbacks, only the parts the toolbars act on.
#include <gtest/gtest.h>

#include <memory>

#include "client/chat.h"
#include "client/clientsuite.h"
#include "client/commandstate.h"
#include "client/gamesession.h"
#include "client/gametoolbars.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"

// The built-in map for a local player; a test picks an object by its tile, as a click on the
// map would, and works its information toolbar.
class cToolbarCommandsTest : public cClientTest {
protected:
  void SetUp() override
  {
    cClientTest::SetUp();
    if (HasFatalFailure()) return;
    session = std::make_unique<cGameSession>(*context, new cPlayer(), builtinView());
    session->showScreen(bars);
    chat = std::make_unique<cChat>(*session);
    commands = std::make_unique<cToolbarCommands>(*session, state, bars, *chat);
  }
  void TearDown() override
  {
    commands.reset();
    chat.reset();
    session.reset();
    cClientTest::TearDown();
  }
  // The object at tile picked alone, its information toolbar shown.
  cBaseObject* pick(cPoint tile)
  {
    cIsoView& map = session->map();
    map.clearSelection();
    cBaseObject* o = map.getObjectAt(tile);
    if (!o) return nullptr;
    map.addSelection(o);
    state.lastSelected = o;
    state.toolbarState = o->myObjectType() == 0 ? TOOLBAR_BUILDING_INFO : TOOLBAR_UNIT_INFO;
    return o;
  }
  int takeRedraw() { return cGameEngine::redraw.exchange(0); }

  cGameToolbars bars;
  cCommandState state;
  std::unique_ptr<cGameSession> session;
  std::unique_ptr<cChat> chat;
  std::unique_ptr<cToolbarCommands> commands;
};

// Damage and heal act on the picked unit (a heal stops at full health), "Move" enters unit
// command mode, and "Back" shows the main toolbar; each says what to redraw.
TEST_F(cToolbarCommandsTest, UnitItemsChangeTheUnitTheModeAndTheToolbar)
{
  cBaseObject* unit = pick(cPoint(15, 15));
  ASSERT_NE(unit, nullptr);
  ASSERT_EQ(unit->myObjectType(), 1);
  const int start = unit->getHealth(), full = unit->getFullHealth();
  ASSERT_LE(start + 8, full) << "the test needs a unit that a heal does not fill up";
  struct Step {
    int item;
    int change;  // health since the start
    int redraw;
    eMode mode;
    eToolbarState shown;
  } steps[] = {
      {3, -1, REDRAW_MAP, MODE_SELECT, TOOLBAR_UNIT_INFO},
      {3, -2, REDRAW_MAP, MODE_SELECT, TOOLBAR_UNIT_INFO},
      {4, 8, REDRAW_MAP | REDRAW_PANEL | REDRAW_WIDGETS, MODE_SELECT, TOOLBAR_UNIT_INFO},
      {0, 8, 0, MODE_SELECT, TOOLBAR_UNIT_INFO},
      {2, 8, REDRAW_STATUS, MODE_COMMAND, TOOLBAR_UNIT_INFO},
      {5, 8, REDRAW_PANEL, MODE_COMMAND, TOOLBAR_MAIN},
  };
  for (const Step& s : steps) {
    takeRedraw();
    commands->processUnitInfo(s.item);
    EXPECT_EQ(unit->getHealth() - start, s.change) << s.item;
    EXPECT_EQ(takeRedraw(), s.redraw) << s.item;
    EXPECT_EQ(state.mode, s.mode) << s.item;
    EXPECT_EQ(state.toolbarState, s.shown) << s.item;
    EXPECT_EQ(state.lastSelected, unit) << s.item;
  }
  for (int i = 0; i * 10 < full; ++i) commands->processUnitInfo(4);
  EXPECT_EQ(unit->getHealth(), full);
  // With nothing selected a heal changes nothing and only the map is redrawn.
  session->map().clearSelection();
  takeRedraw();
  commands->processUnitInfo(4);
  EXPECT_EQ(takeRedraw(), REDRAW_MAP);
  EXPECT_EQ(state.lastSelected, unit);
}

// The building toolbar's terrain items paint the ground under the selection with their kind.
TEST_F(cToolbarCommandsTest, BuildingTerrainItemsPaintTheGroundUnderTheSelection)
{
  const cObjectListNode* first = session->map().getBuildings()->getFirstNode();
  ASSERT_NE(first, nullptr);
  cBaseObject* building = pick(first->myData()->myPosition());
  ASSERT_EQ(building, first->myData());
  for (int kind : {1, 2}) {
    takeRedraw();
    commands->processBuildingInfo(kind);
    EXPECT_EQ(session->map().getTerrain(building->myPosition()), kind);
    EXPECT_EQ(takeRedraw(), REDRAW_MAP | REDRAW_WIDGETS) << kind;
  }
  commands->processBuildingInfo(5);
  EXPECT_EQ(state.toolbarState, TOOLBAR_MAIN);
}
