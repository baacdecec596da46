#ifndef KORVANE_CLIENT_GAMESESSION_H
#define KORVANE_CLIENT_GAMESESSION_H
// What every part of one game reaches: the client context, the player, the view with its
// map, the game screen and the layout it follows, and the turns played. Owned by cGame and
// borrowed by its parts (toolbars, map input, chat, view control), which reach the view and
// the screen through it: a game loaded in place replaces both. Single-threaded.
#include <cstdint>
#include <memory>

#include "client/enginerules.h"
#include "client/gamescreen.h"

class cClientContext;
class cIsoView;
class cIsoViewRect;
class cPlayer;
struct cGameToolbars;

struct cGameSession {
  // The context is borrowed and outlives the session; player (never null) and view are owned.
  // The layout follows the screen's size; the game screen is made by showScreen.
  cGameSession(cClientContext& context, cPlayer* player, std::unique_ptr<cIsoViewRect> view);
  ~cGameSession();
  cGameSession(const cGameSession&) = delete;
  cGameSession& operator=(const cGameSession&) = delete;

  // A fresh game screen over the view, whose map, minimap and scrolling are set for the
  // player; the toolbars are borrowed and outlive the screen.
  void showScreen(cGameToolbars& toolbars);
  cIsoView& map();  // the view's map
  void addMessage(const char* text) { screen->addMessage(text); }

  cClientContext& context;
  std::unique_ptr<cPlayer> player;
  std::unique_ptr<cIsoViewRect> view;
  const cScreenLayout layout;
  std::unique_ptr<cGameScreen> screen;  // from showScreen until the game is left
  int64_t ticks = 0;                    // turns since the game started
};

#endif
