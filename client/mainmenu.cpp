// The main menu and the built-in map.
#include <allegro.h>

#include "addons/jpegload.h"
#include "client/cgameengine.h"
#include "client/context.h"
#include "gui/credits.h"
#include "gui/menu.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "sim/builtinmap.h"
#include "world/host.h"

namespace {
// "background.jpg", or the plain (0, 64, 64) picture when it is missing.
BITMAP* loadMenuBackground()
{
  BITMAP* background = load_jpeg(hostDataFile("background.jpg").c_str(), nullptr);
  if (background) return background;
  background = create_bitmap(1024, 768);
  clear_to_color(background, makecol(0, 64, 64));
  return background;
}
}  // namespace

void cGameEngine::start()
{
  BITMAP* background = loadMenuBackground();
  static const char* const items[] = {"Network Game", "Local Game", "Options", "Credits",
                                      "Quit Game"};
  cMenu menu(background, 5, items);
  for (bool quit = false; !quit;) {
    switch (menu.doMe()) {
      case 1:
        if (cPlayer* player = createPlayer()) engine(player);
        break;
      case 2: engine(new cPlayer()); break;
      case 3: options(background); break;
      case 4: rollCredits(); break;
      case 5: quit = true; break;
      case 6: screenShot(); break;
      default: break;
    }
  }
  destroy_bitmap(background);
}

void cGameEngine::loadMap(cPlayer* player)
{
  if (showStartingGame()) return;
  loadBuiltinMap(map(), player ? player->myID() : 0);
  renumberOccupancy(map());
}

void cGameEngine::setMap() { setBuiltinTerrain(map()); }

void cGameEngine::rollCredits()
{
  const cCatalogueImages* images = context.images.get();
  ::rollCredits(
      [images](int kind) { return images ? images->retrieveObjectImage(kind) : nullptr; });
}
