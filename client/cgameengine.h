#ifndef KORVANE_CLIENT_CGAMEENGINE_H
#define KORVANE_CLIENT_CGAMEENGINE_H
// The client's facade that main drives: the main menu, the options and the network dialog,
// and the set-up of each game (the built-in map, or the map exchange of a network game)
// before a cGame plays it. Lives from the end of start-up to shutdown; single-threaded except
// for the display-switch callbacks, which only write `redraw` and the switched-out flag.
#include <atomic>
#include <memory>

#include "client/enginerules.h"
#include "client/game.h"
#include "client/pacing.h"
#include "world/pointutil.h"

class cClientContext;
class cGUICollection;
class cIsoView;
class cIsoViewRect;
class cMap;
class cPlayer;
class cText;
struct BITMAP;

// Saves the whole screen as "dump.png", says so at the bottom of the screen and waits for a
// key; false when the file could not be written.
bool takeScreenShot();

class cGameEngine {
public:
  static constexpr int REDRAW_ALL = 31;  // every REDRAW_ flag of render/isoscreen.h

  // Needs the log stream open, both data files loaded and the fonts taken: builds the
  // context's catalogue, its scaled images and the game font. The context and the clock
  // (which paces games and menus) are borrowed.
  explicit cGameEngine(cClientContext& context, cClock& clock = steadyClock());
  ~cGameEngine();
  cGameEngine(const cGameEngine&) = delete;
  cGameEngine& operator=(const cGameEngine&) = delete;

  // The main menu, until "Quit Game".
  void start();
  // The Options menu over background (borrowed), until "Back to Main Menu".
  void options(BITMAP* background);
  void rollCredits();
  // The network dialog: a connected, registered player (owned by the caller), or null when
  // the player cancels.
  cPlayer* createPlayer();

  // Plays one game; takes ownership of player (never null) and deletes it at the end.
  void engine(cPlayer* player);
  // A game for player (owned by the game) on the built-in map, or, when the player is
  // connected, on the map the server and this client settle on; null (the player still the
  // caller's, disconnected) when the player pressed Esc during the map exchange.
  std::unique_ptr<cGame> beginGame(cPlayer* player);
  // The notice line of the last map exchange; null before any network game.
  const cText* connectionNotice() const { return connectionText.get(); }

  static void setRedraw(int flags) { redraw.fetch_or(flags); }
  bool screenShot();  // false when "dump.png" could not be written

  static void buttonQuitEvent(long message);
  static void display_switch_callback();
  static void display_switch_callback_out();

  // The built-in map on the view being set up, owned by player (0 when null).
  void loadMap(cPlayer* player);
  void setMap();

  // The request to leave the current loop (game, dialog); pending redraw flags.
  static bool q;
  static std::atomic<int> redraw;

private:
  cIsoView& map();  // the map of the view being set up
  // The view replaced by one of an empty map of size cells, bounded by the view area.
  cMap& newMap(cPoint size);
  // The map exchange of a network game, behind its notice; the player is disconnected when
  // it fails. False when the player pressed Esc (which also disconnects).
  bool prepareNetworkGame(cPlayer* player);
  bool exchangeLeft = false;  // Esc was pressed during the map exchange
  void downloadMap(cPlayer* player, cText& notice);

  cClientContext& context;
  cClock& clock;
  cGameToolbars toolbars;
  const cScreenLayout layout;
  cGUICollection* gui = nullptr;          // owned: the dialog being shown
  std::unique_ptr<cIsoViewRect> view;     // the next game's, while it is set up
  std::unique_ptr<cText> connectionText;  // network games only
};

#endif
