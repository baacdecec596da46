#include "client/gamescreen.h"

#include <allegro.h>

#include <algorithm>

#include "addons/jpegload.h"
#include "client/cgameengine.h"
#include "render/isoscreen.h"
#include "render/isoview.h"
#include "render/minimap.h"
#include "world/host.h"

cGameScreen::cGameScreen(const cScreenLayout& layout, FONT* gameFont, cGameToolbars& toolbars,
                         cIsoView& map)
    : indicator(0, cRect(SCREEN_W - 27, 1, SCREEN_W - 14, 15), nullptr, "-"),
      gui(std::make_unique<cGUICollection>())
{
  // Room for the 8 lines the canvas shows at most (the statistics take 8).
  messageBitmap = create_bitmap(layout.viewArea.myWidth(), std::max(layout.viewArea.myHeight() / 8,
                                                                    8 * text_height(font) + 1));
  clear_to_color(messageBitmap, bitmap_mask_color(messageBitmap));
  scratch = create_bitmap(SCREEN_W, SCREEN_H);
  cButton* quit = new cButton(0, cRect(SCREEN_W - 13, 1, SCREEN_W - 1, 15), nullptr, "X");
  quit->setText("X", makecol(244, 198, 90), gameFont);
  quit->setHandler(cGameEngine::buttonQuitEvent);
  gui->addElement(quit);
  for (cToolbar& t : toolbars.bars) gui->addElement(false, &t);
  const int panelHeight = SCREEN_H - layout.viewArea.bottom();
  minimap = new cMinimap(cPoint(SCREEN_W - 5 - panelHeight, layout.viewArea.bottom() + 2),
                         cPoint(SCREEN_W - 5, SCREEN_H - 2), map.getLayer(LAYER_OBJECTS),
                         map.getLayer(LAYER_UNITS), map.getLayer(LAYER_TERRAIN));
  gui->addElement(minimap);
  indicator.setTextColour(makecol(255, 0, 0));
  indicator.disable();
  gui->addElement(false, &indicator);
  gui->addElement(false, &keyboard);
  panelBackground = load_jpeg(hostDataFile("tarvix.dat#global_background1").c_str(), nullptr);
}

cGameScreen::~cGameScreen()
{
  gui.reset();
  if (panelBackground) destroy_bitmap(panelBackground);
  destroy_bitmap(messageBitmap);
  destroy_bitmap(scratch);
}

bool cGameScreen::drawMessages()
{
  if (!messages.hasChanged()) return false;
  messages.draw(messageBitmap);
  return true;
}

int cGameScreen::overlayHeight() const { return messageBitmap ? messageBitmap->h : 0; }

bool cGameScreen::showConnection(bool now)
{
  if (now == connected) return false;
  connected = now;
  if (connected) {
    addMessage("Connected to server..");
    indicator.setTextText("+");
    indicator.setTextColour(makecol(0, 0, 255));
  } else {
    addMessage("Not connected to server.");
    indicator.setTextText("-");
    indicator.setTextColour(makecol(255, 0, 0));
  }
  indicator.setRedraw();
  return true;
}

void cGameScreen::describe(cIsoScreen& s)
{
  s.scratch = scratch;
  s.gui = gui.get();
  s.minimap = minimap;
  s.panelBackground = panelBackground;
  s.messageBitmap = messageBitmap;
  s.messageHeight = messages.drawnHeight();
}
