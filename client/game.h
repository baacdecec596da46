#ifndef KORVANE_CLIENT_GAME_H
#define KORVANE_CLIENT_GAME_H
// One local or network game: its parts (the session they share, the player's choices, the
// chat, the view control, the bottom panel's toolbars and the map input) and the main loop
// that plays it. Made when a game starts and destroyed when the player leaves it;
// single-threaded (the display-switch callbacks reach only cGameEngine::redraw).
#include <cstdint>
#include <memory>
#include <string>

#include "client/chat.h"
#include "client/commandstate.h"
#include "client/gamesession.h"
#include "client/gametoolbars.h"
#include "client/mapinput.h"
#include "client/pacing.h"
#include "client/viewcontrol.h"

class cClientContext;
class cIsoView;
class cIsoViewRect;
class cMap;
class cMessageCanvas;
class cPlayer;

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

  void handleGameKey(int key);
  // F5: the game into "quicksave.kvs" beside the log; the messages say how it went.
  bool quickSave();
  // F9: a local game takes up "quicksave.kvs", which becomes the context's startingGame; a
  // network game refuses. A file that cannot be read leaves the game as it is. The messages
  // say what happened.
  bool quickLoad();
  // One line to the messages, the log and standard output.
  void report(const std::string& text);

  void drawIsoScreen(int parts);

  cIsoView& map() { return session.map(); }
  cIsoViewRect& myView() { return *session.view; }
  cPlayer& myPlayer() { return *session.player; }
  const cScreenLayout& myLayout() const { return session.layout; }
  int64_t myTicks() const { return session.ticks; }
  const cMessageCanvas& myMessages() const { return session.screen->myMessages(); }
  cGameScreen& myScreen() { return *session.screen; }
  cCommandState& myChoices() { return choices; }
  cToolbarCommands& myToolbars() { return toolbars; }
  cMapInput& myMapInput() { return input; }
  cViewControl& myViewControl() { return viewControl; }
  cChat& myChat() { return chat; }

private:
  void welcome();
  void watchDisplaySwitch();
  void forgetDisplaySwitch();
  void handleKeys();
  // The game being played replaced by loaded (emptied), with a fresh game screen.
  void replaceGame(cMap& loaded);

  cGameSession session;
  cClock& clock;
  cPacer pacer;
  cCommandState choices;
  cChat chat;
  cViewControl viewControl;
  cToolbarCommands toolbars;
  cMapInput input;
  bool left = false;
};

#endif
