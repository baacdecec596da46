#ifndef KORVANE_CLIENT_CGAMEENGINE_H
#define KORVANE_CLIENT_CGAMEENGINE_H
// The client's one game object: the main menu, and each local or network game with its
// screen, main loop, map input and toolbars. Lives from the end of start-up to shutdown;
// single-threaded except for the display-switch callbacks, which only write `redraw` and
// the switched-out flag.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "client/chatline.h"
#include "client/pacing.h"
#include "gui/canvas.h"
#include "gui/mouse.h"
#include "gui/toolbar.h"
#include "render/isoscreen.h"
#include "render/isoview.h"
#include "world/pointutil.h"

class cBaseObject;
class cBaseUnit;
class cButton;
class cGUICollection;
class cIsoView;
class cIsoViewRect;
class cKeyboardHandler;
class cMap;
class cMinimap;
class cPlayer;
class cText;
struct BITMAP;
struct FONT;

class cGameEngine {
public:
  static constexpr int REDRAW_ALL = 31;  // every REDRAW_ flag of render/isoscreen.h

  // Needs the log stream open and both data files loaded; builds the global catalogue
  // metaList and its scaled images metaImages. The clock paces games and menus (borrowed).
  explicit cGameEngine(cClock& clock = steadyClock());
  // Runs after the data files were unloaded: frees only what the engine made itself.
  ~cGameEngine();
  cGameEngine(const cGameEngine&) = delete;
  cGameEngine& operator=(const cGameEngine&) = delete;

  // The main menu, until "Quit Game".
  void start();
  void options(BITMAP* background);
  void optionsGUI();
  void rollCredits();
  // The network dialog: a connected, registered player (owned by the caller), or null when
  // the player cancels.
  cPlayer* createPlayer();

  // Plays one game; takes ownership of player (never null) and deletes it at the end.
  void engine(cPlayer* player);
  // The three stages of engine(), for tests that drive a game pass by pass.
  void beginGame(cPlayer* player);
  void runPass(cPlayer* player);  // sleeps until due, then runs the turns and frame due
  void endGame(cPlayer* player);
  void runTurn(cPlayer* player);
  void runFrame(cPlayer* player);
  bool quitRequested() const { return q; }
  int64_t myTicks() const { return ticks; }  // turns of the game being played
  // The map of the game being played (the view's); valid from beginGame to the next game.
  cIsoView& map();

  void setRedraw(int flags) { redraw.fetch_or(flags); }
  void changeMode();
  void increase_zoom();
  void decrease_zoom();
  bool screenShot();  // false when "dump.png" could not be written
  void handleGameKey(int key);

  static void buttonQuitEvent(long message);
  static void display_switch_callback();
  static void display_switch_callback_out();

  // Map input and commands.
  void processMouseMoveInMap();
  void processSelectNewObject(cBaseObject* object);
  void processMouseClickedInMap(cPlayer* player);
  void processMinimapClick();

  // The four toolbars of the bottom panel.
  void loadToolbar();
  void initBuildingInfoToolbar(cBaseObject* building);
  void initUnitInfoToolbar(cBaseUnit* unit);
  void processMainToolbar(int item, cPlayer* player);
  void processToBuildToolbar(int item);
  void processBuildingInfo(int item, cPlayer* player);
  void processUnitInfo(int item, cPlayer* player);

  // The built-in map on the current view, owned by player (0 when null).
  void loadMap(cPlayer* player);
  void setMap();

  void drawIsoScreen(int parts);

  // The request to leave the current loop (game, dialog); pending redraw flags.
  static bool q;
  static std::atomic<int> redraw;

private:
  friend class cGameEngineTest;
  friend class cNetworkGameTest;

  // The view replaced by one of an empty map of size cells, bounded by the view area.
  cMap& newMap(cPoint size);
  // The map exchange of a network game; the player is disconnected when it fails.
  void prepareNetworkGame(cPlayer* player);
  void downloadMap(cPlayer* player, cText& notice);
  // Until the next turn or frame is due; a network game also wakes for a received frame.
  void sleepUntilDue(cPlayer* player);
  bool mouseInView() const;
  cPoint viewPoint() const;        // the mouse in the view's own pixels
  cRect toolbarItem(int i) const;  // item i (0..5) of every bottom toolbar
  static int toolbarTextColour();  // in the screen's depth
  void buildGameScreen();
  void welcome();
  void watchDisplaySwitch();
  void forgetDisplaySwitch();
  void handleConnectionState(cPlayer* player);
  void handleMouse(cPlayer* player);
  void handleToolbar(cPlayer* player);
  void clickToBuild(cPlayer* player);
  void clickToSelect(bool shift);
  void clickToCommand(cPlayer* player, bool shift);
  void pickNothing();
  void showStatistics(cPlayer* player);
  void addRandomUnit(cPlayer* player);
  void runDiagnostics();
  void showBuildTypeDiagnostic(int item);
  void afterHeal(int selected);
  // The view's opening, the arrow keys and the blast flashes (viewcontrol.cpp).
  void openOnOwnForces(long owner);
  void scrollByHeldKeys();
  bool arrowHeld(int scanCode) const;
  void collectBlasts();
  void followSelectedUnit();
  void ageFlashes();
  void forgetSelection();
  void addMessage(const char* text);
  void drawMessages();
  // Texts: shown in the message canvas and written to the log as "Message: %s".
  void showText(const char* text);
  void showReceivedTexts();
  void openChat();
  void handleChatKey(cPlayer* player, int key);
  void sendChat(cPlayer* player);
  void drawChat();
  cPlayer* currentPlayer = nullptr;  // the player of the game being played, else null

  cClock& clock;
  cPacer pacer;

  cGUICollection* gui = nullptr;  // owned
  cRect screenRect;
  cRect viewArea;
  cIsoViewRect* view = nullptr;  // owned
  cMouse currentMouse;
  cMouse lastMouse;
  int clickButtons = 0;         // the buttons of this frame's click on the map
  cMinimap* minimap = nullptr;  // owned by gui
  cToolbar toolbars[4];
  int toolbarState = 1;
  int shownToolbar = 0;  // the toolbar the panel last showed (0: none yet)
  int64_t ticks = 0;     // turns since the game started
  int buildType = 1;
  int mode = 1;
  int selectedID = 0;
  cIsoPoint cursorTile;
  cBaseObject* lastSelected = nullptr;  // noObject when nothing is picked
  cBaseObject* noObject = nullptr;      // owned, per game
  BITMAP* returnIcon = nullptr;         // owned, per game
  BITMAP* panelBackground = nullptr;    // owned; null falls back to a grey fill
  BITMAP* messageBitmap = nullptr;      // owned
  BITMAP* scratch = nullptr;            // owned: the screen composed before copying
  cMessageCanvas messages;
  struct cFlash {
    cIsoView::cBlastMark blast;
    int64_t until;  // clock microseconds
  };
  std::vector<cFlash> flashes;  // shown until their time is up
  bool flashesChanged = false;
  std::string shownPosition;  // the unit toolbar's position text
  cChatLine chat;
  FONT* gameFont = nullptr;  // owned when it is not the default font
  int toolbarHeight = 0;
  cText* connectionText = nullptr;       // owned, network games only
  cButton* indicator = nullptr;          // owned, per game
  cKeyboardHandler* keyboard = nullptr;  // owned, per game
  bool connected = false;
};

#endif
