// The main menu, the options menu and its placeholder dialog, and the built-in map.
#include <allegro.h>

#include "addons/jpegload.h"
#include "client/cgameengine.h"
#include "client/context.h"
#include "client/dialogscreen.h"
#include "gui/button.h"
#include "gui/credits.h"
#include "gui/framepacer.h"
#include "gui/guicollection.h"
#include "gui/list.h"
#include "gui/menu.h"
#include "gui/textbox.h"
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

void cGameEngine::options(BITMAP* background)
{
  static const char* const items[] = {"Option 1", "Option 2", "Option 3", "Back to Main Menu"};
  cMenu menu(background, 4, items);
  for (;;) {
    switch (menu.doMe()) {
      case 1: optionsGUI(); break;
      case 4: return;
      case 5: screenShot(); break;
      default: break;
    }
  }
}

void cGameEngine::optionsGUI()
{
  delete gui;
  gui = new cGUICollection();
  auto enter = new cButton(1, cRect(SCREEN_W - 100, SCREEN_H - 100, SCREEN_W - 50, SCREEN_H - 82),
                           nullptr, "Enter");
  enter->setHandler(buttonQuitEvent);
  auto cancel = new cButton(1, cRect(SCREEN_W - 170, SCREEN_H - 100, SCREEN_W - 115, SCREEN_H - 82),
                            nullptr, "Cancel");
  cList noChoices;
  const cRect boxRect(SCREEN_W / 2, SCREEN_H / 2, SCREEN_W / 2 + 200, SCREEN_H / 2 + 15);
  auto box = new cSelectTextBox("Default Text", boxRect, font, makecol(0, 0, 0),
                                makecol(208, 208, 208), &noChoices);
  auto keys = new cKeyboardHandler();
  gui->addElement(enter);
  gui->addElement(cancel);
  gui->addElement(box);
  gui->addElement(keys);
  BITMAP* background = load_jpeg(hostDataFile("tarvix.dat#global_background1").c_str(), nullptr);
  drawDialog(*gui, background);
  q = false;
  cFramePacer pacer(60);
  while (!q) {
    pacer.wait();
    gui->doMe();
    const int key = keys->lastKeyPress();
    if ((key >> 8) == KEY_ESC || cancel->myMessage() == 1) break;
    if ((key & 0xff) == 10 || (key & 0xff) == 13) q = true;
  }
  q = false;
  if (background) destroy_bitmap(background);
  delete gui;
  gui = nullptr;
}

void cGameEngine::loadMap(cPlayer* player)
{
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
