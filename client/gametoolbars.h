#ifndef KORVANE_CLIENT_GAMETOOLBARS_H
#define KORVANE_CLIENT_GAMETOOLBARS_H
// The bottom panel's four toolbars: how one game lays them out, what their items show, and
// what a click on each item does. Single-threaded.
#include <string>

#include "client/enginerules.h"
#include "gui/toolbar.h"

class cBaseObject;
class cBaseUnit;
class cChat;
struct cCommandState;
struct cGameSession;
struct BITMAP;

// The toolbars themselves: main (7 items), to-build, building information and unit
// information (6 items each). Made once with the engine, which logs their making, and lent to
// each game.
struct cGameToolbars {
  cGameToolbars() : bars{cToolbar(7), cToolbar(6), cToolbar(6), cToolbar(6)} {}
  cToolbar bars[4];
};

// One game's use of the toolbars. Their icons come from the session's data files; "return.png"
// (beside the data) is the back items' icon.
class cToolbarCommands {
public:
  // Loads the back icon. All four arguments are borrowed and outlive the commands; the chat
  // is what the main toolbar's "Message" item opens.
  cToolbarCommands(cGameSession& session, cCommandState& state, cGameToolbars& toolbars,
                   cChat& chat);
  ~cToolbarCommands() { release(); }
  cToolbarCommands(const cToolbarCommands&) = delete;
  cToolbarCommands& operator=(const cToolbarCommands&) = delete;

  // Lays out and fills the main and to-build toolbars (a game's start, the "l" key).
  void loadToolbar();
  // Lay out and fill the information toolbars for the object picked last.
  void initBuildingInfoToolbar(cBaseObject* building);
  void initUnitInfoToolbar(cBaseUnit* unit);
  // What a click on item (0..5, more for main's diagnostic, negative for none) does.
  void processMainToolbar(int item);
  void processToBuildToolbar(int item);
  void processBuildingInfo(int item);
  void processUnitInfo(int item);
  // The shown toolbar's click this frame; pressedInView: a button is down over the map.
  void processShownToolbar(bool pressedInView);
  // The unit toolbar names where its unit stands while it walks.
  void followSelectedUnit();
  // Before a drawing of `parts`: a toolbar shown again forgets the clicks latched while it
  // was hidden.
  void beforeDrawing(int parts);
  void showAgain() { shownToolbar = 0; }  // the next panel drawing shows a toolbar anew
  // The items' icons and the back icon freed (leaving the game). Idempotent.
  void release();

  cToolbar& toolbar(eToolbarState which) { return toolbars.bars[which - 1]; }
  cGameToolbars& myToolbars() { return toolbars; }
  BITMAP* myReturnIcon() const { return returnIcon; }  // owned; null once released

private:
  cRect toolbarItem(int i) const;  // item i (0..5) of every bottom toolbar
  static int toolbarTextColour();  // in the screen's depth
  void showPanel(eToolbarState which);
  void showStatistics();
  void addRandomUnit();
  void runDiagnostics();
  void showBuildTypeDiagnostic(int item);
  void openChat();
  void afterHeal(int selected);

  cGameSession& session;
  cCommandState& state;
  cGameToolbars& toolbars;
  cChat& chat;
  BITMAP* returnIcon = nullptr;
  int shownToolbar = 0;       // the toolbar the panel last showed (0: none yet)
  std::string shownPosition;  // the unit toolbar's position text
};

#endif
