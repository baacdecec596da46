#ifndef KORVANE_CLIENT_GAME_H
#define KORVANE_CLIENT_GAME_H
// One local or network game: its map and view, the player's selection, what the four
// toolbars of the bottom panel show and do, the game screen and the main loop that plays it.
// Made when a game starts and destroyed when the player leaves it; single-threaded (the
// display-switch callbacks reach only cGameEngine::redraw).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/chatline.h"
#include "client/enginerules.h"
#include "client/gamescreen.h"
#include "client/pacing.h"
#include "gui/canvas.h"
#include "gui/mouse.h"
#include "gui/toolbar.h"
#include "render/isoscreen.h"  // the REDRAW_ flags of setRedraw
#include "sim/gameplaymap.h"
#include "world/pointutil.h"

class cBaseObject;
class cBaseUnit;
class cClientContext;
class cIsoView;
class cIsoViewRect;
class cPlayer;
struct BITMAP;
struct FONT;

// The bottom panel's toolbars: main (7 items), to-build, building information and unit
// information (6 items each). Made once with the engine, which logs their making, and lent to
// each game, which lays them out and fills them.
struct cGameToolbars {
  cGameToolbars() : bars{cToolbar(7), cToolbar(6), cToolbar(6), cToolbar(6)} {}
  cToolbar bars[4];
};

class cGame {
public:
  // Starts a game for `player` (owned, never null) on `view` (owned), whose map already holds
  // the game's terrain and objects: builds the game screen, welcomes the player and watches
  // the display switch. The context, the clock and the toolbars are borrowed and outlive the
  // game.
  cGame(cClientContext& context, cClock& clock, cGameToolbars& toolbars, cPlayer* player,
        std::unique_ptr<cIsoViewRect> view);
  // Leaves the game if that has not happened yet, then frees the view and the player.
  ~cGame();
  cGame(const cGame&) = delete;
  cGame& operator=(const cGame&) = delete;

  // Passes until cGameEngine::q is set, then leaves the game.
  void run();
  void runPass();  // sleeps until due, then runs the turns and the frame due
  void runTurn();
  void runFrame();
  // Until the next turn or frame is due; a network game also wakes for a received frame.
  void sleepUntilDue();
  // Ends the game: the callbacks go, the map loses its objects, a connected player is
  // disconnected, and the screen's elements and icons are freed. Idempotent.
  void leave();

  void setRedraw(int flags);
  void changeMode();
  void increase_zoom();
  void decrease_zoom();
  void handleGameKey(int key);
  // A key typed while the chat box is open: Return shows and sends the line, Esc drops it.
  void handleChatKey(int key);

  // Map input and commands, on the pointer as the last frame read it (see setPointer).
  void processMouseMoveInMap();
  void processSelectNewObject(cBaseObject* object);
  void processMouseClickedInMap();
  void processMinimapClick();
  // The pointer at a screen point, with the buttons of a click on the map (1 left, 2 right).
  void setPointer(cPoint screenPoint, int clickButtons = 0);

  // The four toolbars of the bottom panel.
  void loadToolbar();
  void initBuildingInfoToolbar(cBaseObject* building);
  void initUnitInfoToolbar(cBaseUnit* unit);
  void processMainToolbar(int item);
  void processToBuildToolbar(int item);
  void processBuildingInfo(int item);
  void processUnitInfo(int item);

  void drawIsoScreen(int parts);

  cIsoView& map();  // the view's map
  cIsoViewRect& myView() { return *view; }
  cPlayer& myPlayer() { return *player; }
  const cScreenLayout& myLayout() const { return layout; }
  int64_t myTicks() const { return ticks; }  // turns since the game started
  eMode myMode() const { return mode; }
  void setMode(eMode m) { mode = m; }
  eToolbarState myToolbarState() const { return toolbarState; }
  int myBuildType() const { return buildType; }
  void setBuildType(int type) { buildType = type; }
  cBaseObject* myLastSelected() const { return lastSelected; }  // noObject when none
  const cMessageCanvas& myMessages() const { return gameScreen->myMessages(); }
  cToolbar& toolbar(eToolbarState which) { return toolbars.bars[which - 1]; }
  BITMAP* myReturnIcon() const { return returnIcon; }
  const cChatLine& myChat() const { return chat; }

private:
  bool mouseInView() const;
  cPoint viewPoint() const;        // the mouse in the view's own pixels
  cRect toolbarItem(int i) const;  // item i (0..5) of every bottom toolbar
  static int toolbarTextColour();  // in the screen's depth
  void welcome();
  void watchDisplaySwitch();
  void forgetDisplaySwitch();
  void handleMouse();
  void handleToolbar();
  void clickToBuild();
  void clickToSelect(bool shift);
  void clickToCommand(bool shift);
  void pickNothing();
  void showStatistics();
  void addRandomUnit();
  void runDiagnostics();
  void showBuildTypeDiagnostic(int item);
  void afterHeal(int selected);
  // The view's opening, the arrow keys, the blast flashes and the unit toolbar's position
  // (viewcontrol.cpp).
  void openOnOwnForces();
  void scrollByHeldKeys();
  bool arrowHeld(int scanCode) const;
  void collectBlasts();
  void ageFlashes();
  void followSelectedUnit();
  void forgetSelection();
  void addMessage(const char* text) { gameScreen->addMessage(text); }
  // Texts: shown in the message canvas and written to the log as "Message: %s".
  void showText(const char* text);
  void showReceivedTexts();
  void openChat();
  void sendChat();
  void drawChat();

  cClientContext& context;
  cClock& clock;
  cGameToolbars& toolbars;
  cPacer pacer;
  std::unique_ptr<cPlayer> player;
  std::unique_ptr<cIsoViewRect> view;
  const cScreenLayout layout;

  struct cPointer {
    cMouse current;
    cMouse last;
    int clickButtons = 0;  // the buttons of this frame's click on the map
  } pointer;
  std::unique_ptr<cGameScreen> gameScreen;  // from the game's start until it is left
  eToolbarState toolbarState = TOOLBAR_MAIN;
  int shownToolbar = 0;  // the toolbar the panel last showed (0: none yet)
  int64_t ticks = 0;
  int buildType = 1;
  eMode mode = MODE_SELECT;
  int selectedID = 0;
  cIsoPoint cursorTile;
  cBaseObject* lastSelected = nullptr;  // noObject when nothing is picked
  std::unique_ptr<cBaseObject> noObject;
  BITMAP* returnIcon = nullptr;  // owned
  cChatLine chat;
  bool left = false;
  struct cFlash {
    cGamePlayMap::cBlastMark blast;
    int64_t until;  // clock microseconds
  };
  std::vector<cFlash> flashes;  // shown until their time is up
  bool flashesChanged = false;
  std::string shownPosition;  // the unit toolbar's position text
};

#endif
