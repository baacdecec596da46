#include "gui/basicmouse.h"

#include <allegro.h>
#include <cstdio>

void hideMouse()
{
  scare_mouse();
  fputc('h', stderr);
}

void showMouse()
{
  unscare_mouse();
  fputc('s', stderr);
}
