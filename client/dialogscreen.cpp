#include "client/dialogscreen.h"

#include <allegro.h>

#include "gui/boxbutton.h"
#include "gui/guicollection.h"
#include "gui/mouse.h"

void drawDialog(cGUICollection& gui, BITMAP* background)
{
  BITMAP* page = create_bitmap(SCREEN_W, SCREEN_H);
  clear_bitmap(page);
  boxButton(true, background, cRect(0, 0, SCREEN_W - 1, SCREEN_H - 1)).drawMe(page, true);
  gui.draw(page);
  hideMouse();
  blit(page, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
  showMouse();
  destroy_bitmap(page);
}
