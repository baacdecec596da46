// The player's saved games: F5 and F9 in a game, and a local game started on a saved file.
// A loaded game also becomes the one later games start on, the first player's upload too.
#include <allegro.h>

#include <cstdio>
#include <memory>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/game.h"
#include "client/logfile.h"
#include "net/player.h"
#include "net/savegame.h"
#include "render/isoviewrect.h"
#include "world/host.h"

namespace {
const char* const quickSaveName = "quicksave.kvs";

// Terrain and objects of loaded onto shown, which must have loaded's size.
void takeOver(cMap& loaded, cMap& shown)
{
  shown.getLayer(LAYER_TERRAIN)->copy(loaded.getLayer(LAYER_TERRAIN));
  moveObjects(loaded, shown);
  renumberOccupancy(shown);
}
}  // namespace

void cGameEngine::playSavedGame(const char* path)
{
  std::string reason;
  bool missing = false;
  std::unique_ptr<cMap> loaded = readSavedGame(path, reason, missing);
  if (loaded) encodeSavedGame(*loaded, context.startingGame);
  std::unique_ptr<cGame> game = beginGame(new cPlayer());
  if (!game) return;  // only a network game's exchange can be left
  if (loaded)
    game->report(std::string("Game loaded from ") + path + ".");
  else
    game->report(std::string("Could not load ") + path + ": " + reason +
                 ". Playing the built-in map.");
  game->run();
}

bool cGameEngine::showStartingGame()
{
  if (context.startingGame.empty()) return false;
  std::string reason;
  std::unique_ptr<cMap> loaded = decodeSavedGame(context.startingGame, reason);
  if (!loaded) return false;
  showGame(*loaded);
  return true;
}

void cGameEngine::showGame(cMap& loaded) { takeOver(loaded, newMap(loaded.getMaxPos())); }

void cGame::report(const std::string& text)
{
  session.addMessage(text.c_str());
  hostLog("%s\n", text.c_str());
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

bool cGame::quickSave()
{
  const std::string path = besideLog(quickSaveName);
  std::string bytes, reason = "the map is too large for a saved game";
  const bool saved = encodeSavedGame(map(), bytes) && writeSavedGame(path, bytes, reason);
  report(saved ? "Game saved in " + path + "." : "Could not save the game: " + reason + ".");
  return saved;
}

bool cGame::quickLoad()
{
  if (session.player->isConnected()) {
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
  // Before its objects move to the view.
  encodeSavedGame(*loaded, session.context.startingGame);
  replaceGame(*loaded);
  report("Game loaded from " + path + ".");
  return true;
}

// The minimap and the selection point into the old map: the screen is built afresh, and set
// for the player as at the game's start.
void cGame::replaceGame(cMap& loaded)
{
  input.forgetSelection();
  session.screen.reset();
  session.view = std::make_unique<cIsoViewRect>(loaded.getMaxPos());
  session.view->setBounds(session.layout.viewArea);
  takeOver(loaded, map());
  session.showScreen(toolbars.myToolbars());
  choices.reset();
  toolbars.showAgain();
  cGameEngine::setRedraw(cGameEngine::REDRAW_ALL);
}
