#ifndef KORVANE_GUI_MENU_H
#define KORVANE_GUI_MENU_H
// A full-screen menu: a stretched background with a column of captioned buttons, and a
// modal loop that returns the chosen entry.
#include "gui/toolbar.h"

struct BITMAP;
struct FONT;

class cMenu {
public:
  // n entries (none when n < 1) captioned from captions[0..n-1]; the background is borrowed
  // (null draws black). The font is "times.ttf" scaled to the screen width, or currentfont.
  cMenu(BITMAP* background, int n, const char* const* captions);
  ~cMenu();
  cMenu(const cMenu&) = delete;
  cMenu& operator=(const cMenu&) = delete;

  // Composes the menu off-screen and copies it to the screen.
  void draw();
  // Runs until a choice: 1..n for an entry, n for Esc or "q", n + 1 for "s" (a screenshot
  // request). "c" prints the pointer counters, "h" and "m" hide and show the pointer.
  int doMe();
  // One pass of the loop with a given reading and key (0: none); -1 while nothing is chosen.
  int choose(const cMouse& m, int key);

  cToolbar& myToolbar() { return toolbar; }
  FONT* myFont() const { return menuFont; }

private:
  int chooseByKey(int key);

  int count;
  cToolbar toolbar;
  BITMAP* background;
  FONT* menuFont;  // owned unless it is the default font
};

#endif
