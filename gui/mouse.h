#ifndef KORVANE_GUI_MOUSE_H
#define KORVANE_GUI_MOUSE_H
// The mouse below the widgets: pointer hiding, raw readings and the click latch.
#include "world/pointutil.h"

// Brackets for every direct drawing on the screen: the pointer is hidden while the screen is
// drawn on. Calls nest (Allegro counts them). Each call writes one character to stderr,
// "h" or "s", so that unbalanced brackets show in a trace, and counts itself in ndown or nup.
void hideMouse();
void showMouse();
// Counts and writes "h" like hideMouse, but hides the pointer only while it lies in the area.
void hideMouse(int x, int y, int w, int h);
// Shows the pointer for its lifetime: the menus hide it when they hand over to a dialog.
class cPointerShown {
public:
  cPointerShown() { showMouse(); }
  ~cPointerShown() { hideMouse(); }
  cPointerShown(const cPointerShown&) = delete;
  cPointerShown& operator=(const cPointerShown&) = delete;
};
// Prints "count: u=<nup> d=<ndown>" on standard output.
void showMouseCounter();
extern int nup;    // showMouse calls so far
extern int ndown;  // hideMouse calls so far

// One reading of the mouse. `presses` and `pressedButtons` come from the click latch: a
// press and release that both fall between two readings still show in them.
class cMouse {
public:
  cPoint pos;       // screen pixels
  int buttons = 0;  // bit 0 left, bit 1 right, bit 2 middle
  int wheel = 0;
  int presses = -1;        // button-down edges counted since start; -1: not read from the driver
  int pressedButtons = 0;  // the buttons of those edges
  bool inWindow = true;    // false once the pointer has left the game's window; pos stays

  cMouse() = default;
  cMouse(cPoint p, int b, int w = 0) : pos(p), buttons(b), wheel(w) {}

  // Polls the driver and reads buttons, position, wheel and the latch.
  void getPosition();
  // A fresh reading, as getPosition() makes it.
  static cMouse read();
  // Moves the pointer to pos.
  void setPosition() const;
  // True when a whole click (press and release) fell between `earlier` and this reading.
  bool clickedSince(const cMouse& earlier) const;
  // The pointer lies in r and inside the window (which keeps the last position it saw).
  bool isIn(const cRect& r) const { return inWindow && r.includes(pos); }
};

// The older reading of the free functions below; `mouse` holds their last reading.
struct mouse_struct {
  cPoint pos;
  int buttons = 0;
};
extern mouse_struct mouse;

mouse_struct getPosition();  // buttons and position, without polling the driver
void setPosition(int x, int y);
bool IsMouseinRect(cRect r);
// Waits (sleeping between readings) until the pointer lies in r or the buttons differ
// from `buttons`.
void WaitTillMouseinRect(cRect r, int buttons);
bool compare(mouse_struct a, mouse_struct b);  // same position and buttons

// Allegro's mouse callback behind the latch; installed by installClickLatch or, at the
// latest, by the first cMouse::getPosition.
void latchMouseEdges(int flags);
void installClickLatch();
int latchedPresses();  // button-down edges counted so far

#endif
