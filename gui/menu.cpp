#include "gui/menu.h"

#include <allegro.h>

#include "gui/fonts.h"
#include "gui/framepacer.h"

cMenu::cMenu(BITMAP* background, int n, const char* const* captions)
    : count(n > 0 ? n : 0),
      toolbar(count),
      background(background),
      menuFont(loadTimesOrDefault(18 * SCREEN_W / 640))
{
  if (count == 0) return;
  const int sw = SCREEN_W;
  const int s = (sw / 2) / count;
  const int colour = makecol(240, 240, 255);
  for (int i = 0; i < count; i++) {
    toolbar.setItemsPos(i, cRect(sw / 16, (i + 1) * s, sw - sw / 16, (i + 2) * s - 5));
    toolbar.setItemsTextT(i, captions ? captions[i] : "", menuFont, colour);
  }
}

cMenu::~cMenu() { releaseFont(menuFont); }

// The background is stretched from its own size, whatever that is.
void cMenu::draw()
{
  if (!screen) return;
  BITMAP* page = create_bitmap(SCREEN_W, SCREEN_H);
  if (!page) return;
  clear_bitmap(page);
  if (background)
    stretch_blit(background, page, 0, 0, background->w, background->h, 0, 0, SCREEN_W, SCREEN_H);
  toolbar.draw(page);
  hideMouse();
  blit(page, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
  showMouse();
  destroy_bitmap(page);
}

int cMenu::chooseByKey(int key)
{
  const int ch = key & 0xff;
  if ((key >> 8) == KEY_ESC || ch == 'q') return count;
  if (ch == 's') return count + 1;
  if (ch == 'c') showMouseCounter();
  if (ch == 'h') hideMouse();
  if (ch == 'm') showMouse();
  return -1;
}

int cMenu::choose(const cMouse& m, int key)
{
  toolbar.doMe(m);
  if (toolbar.myMessage() >= 0) return toolbar.myMessage() + 1;
  return key ? chooseByKey(key) : -1;
}

int cMenu::doMe()
{
  draw();
  showMouse();
  // A click made in a game or a dialog since the menu last ran must not choose an entry.
  toolbar.forgetEarlierClicks();
  cFramePacer pacer(60);
  int choice = -1;
  while (choice < 0) {
    pacer.wait();
    const cMouse m = cMouse::read();
    const int key = keyboard_driver && keypressed() ? readkey() : 0;
    choice = choose(m, key);
  }
  clear_keybuf();
  hideMouse();
  return choice;
}
