#include "gui/mouse.h"

#include <allegro.h>
#include <atomic>
#include <cstdio>

int nup = 0;
int ndown = 0;
mouse_struct mouse;

namespace {
// Written by Allegro's input thread, read by the game's thread.
std::atomic<int> downEdges{0};
std::atomic<int> downButtons{0};
}  // namespace

void installClickLatch()
{
  if (mouse_callback != latchMouseEdges) mouse_callback = latchMouseEdges;
}

int latchedPresses() { return downEdges; }

void hideMouse()
{
  scare_mouse();
  ndown++;
  fputc('h', stderr);  // the system's own pointer trace, kept on purpose: never remove it
}

void showMouse()
{
  unscare_mouse();
  nup++;
  fputc('s', stderr);  // the system's own pointer trace, kept on purpose: never remove it
}

void hideMouse(int x, int y, int w, int h)
{
  fputc('h', stderr);  // the system's own pointer trace, kept on purpose: never remove it
  ndown++;
  scare_mouse_area(x, y, w, h);
}

void showMouseCounter() { printf("count: u=%i d=%i\n", nup, ndown); }

void latchMouseEdges(int flags)
{
  int bits = 0;
  if (flags & MOUSE_FLAG_LEFT_DOWN) bits |= 1;
  if (flags & MOUSE_FLAG_RIGHT_DOWN) bits |= 2;
  if (flags & MOUSE_FLAG_MIDDLE_DOWN) bits |= 4;
  if (!bits) return;
  downButtons = bits;
  downEdges++;
}

cMouse cMouse::read()
{
  cMouse reading;
  reading.getPosition();
  return reading;
}

void cMouse::getPosition()
{
  installClickLatch();
  // Polling puts Allegro's mouse into polled mode, where the callback runs only at each poll
  // and a press and release between two polls never reach the latch.
  if (mouse_needs_poll()) poll_mouse();
  buttons = mouse_b;
  pos = cPoint(mouse_x, mouse_y);
  wheel = mouse_z;
  inWindow = mouse_on_screen() != 0;
  presses = downEdges;
  pressedButtons = downButtons;
}

void cMouse::setPosition() const { position_mouse(pos.x, pos.y); }

bool cMouse::clickedSince(const cMouse& earlier) const
{
  return presses >= 0 && earlier.presses >= 0 && presses != earlier.presses && buttons == 0 &&
         earlier.buttons == 0;
}

mouse_struct getPosition()
{
  static mouse_struct reading;
  reading.buttons = mouse_b;
  reading.pos = cPoint(mouse_x, mouse_y);
  return reading;
}

void setPosition(int x, int y)
{
  position_mouse(x, y);
  mouse.pos = cPoint(x, y);
}

bool IsMouseinRect(cRect r)
{
  mouse = getPosition();
  return r.includes(mouse.pos);
}

void WaitTillMouseinRect(cRect r, int buttons)
{
  for (;;) {
    mouse = getPosition();
    if (r.includes(mouse.pos) || mouse.buttons != buttons) return;
    rest(5);
  }
}

bool compare(mouse_struct a, mouse_struct b) { return a.pos == b.pos && a.buttons == b.buttons; }
