// The player's saved games: F5 and F9 in a game, and a local game started on a saved file.
// A loaded game also becomes the one later games start on, the first player's upload too.
#include <allegro.h>

#include <cstdio>
#include <memory>

#include "client/cgameengine.h"
#include "client/logfile.h"
#include "gui/button.h"
#include "gui/guicollection.h"
#include "net/player.h"
#include "net/savegame.h"
#include "render/isoviewrect.h"
#include "world/host.h"

namespace {
const char* const quickSaveName = "quicksave.kvs";
}  // namespace

void cGameEngine::report(const std::string& text)
{
  addMessage(text.c_str());
  hostLog("%s\n", text.c_str());
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

void cGameEngine::playSavedGame(const char* path)
{
  std::string reason;
  bool missing = false;
  std::unique_ptr<cMap> loaded = readSavedGame(path, reason, missing);
  if (loaded) encodeSavedGame(*loaded, startingGame);
  cPlayer* player = new cPlayer();
  beginGame(player);
  if (loaded)
    report(std::string("Game loaded from ") + path + ".");
  else
    report(std::string("Could not load ") + path + ": " + reason + ". Playing the built-in map.");
  while (!q) runPass(player);
  endGame(player);
}

bool cGameEngine::quickSave()
{
  const std::string path = besideLog(quickSaveName);
  std::string bytes, reason = "the map is too large for a saved game";
  const bool saved = encodeSavedGame(map(), bytes) && writeSavedGame(path, bytes, reason);
  report(saved ? "Game saved in " + path + "." : "Could not save the game: " + reason + ".");
  return saved;
}

bool cGameEngine::quickLoad(cPlayer* player)
{
  if (player && player->isConnected()) {
    report("A network game cannot load a saved game.");
    return false;
  }
  const std::string path = besideLog(quickSaveName);
  std::string reason;
  bool missing = false;
  std::unique_ptr<cMap> loaded = readSavedGame(path, reason, missing);
  if (!loaded) {
    report("Could not load " + path + ": " + reason + ". The game goes on.");
    return false;
  }
  encodeSavedGame(*loaded, startingGame);  // before its objects move to the view
  replaceGame(*loaded);
  report("Game loaded from " + path + ".");
  return true;
}

bool cGameEngine::showStartingGame()
{
  if (startingGame.empty()) return false;
  std::string reason;
  std::unique_ptr<cMap> loaded = decodeSavedGame(startingGame, reason);
  if (!loaded) return false;
  showGame(*loaded);
  return true;
}

void cGameEngine::showGame(cMap& loaded)
{
  cMap& shown = newMap(loaded.getMaxPos());
  shown.getLayer(LAYER_TERRAIN)->copy(loaded.getLayer(LAYER_TERRAIN));
  moveObjects(loaded, shown);
  renumberOccupancy(shown);
}

// The minimap and the selection point into the old map: the screen is built afresh.
void cGameEngine::replaceGame(cMap& loaded)
{
  forgetSelection();
  delete gui;
  gui = nullptr;
  minimap = nullptr;
  delete indicator;
  indicator = nullptr;
  delete keyboard;
  keyboard = nullptr;
  showGame(loaded);
  buildGameScreen();
  lastSelected = noObject;
  mode = 1;
  toolbarState = 1;
  shownToolbar = 0;
  connected = false;  // the indicator is new: the next frame shows the state again
  redraw = REDRAW_ALL;
}
