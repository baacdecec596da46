#ifndef KORVANE_GUI_GUIELEMENT_H
#define KORVANE_GUI_GUIELEMENT_H
// The element model of the widget toolkit: a screen rectangle that follows the mouse through
// a press/hover state machine, and the widget base class built on it.
#include "gui/mouse.h"
#include "world/pointutil.h"

struct BITMAP;

// Mouse states of an element.
enum { stateIdle = 0, stateHover = 1, statePressed = 2, statePressedOutside = 3 };
// Messages of one frame: 0 nothing, 1 click, 2 press, 3 hold, 6 left, 7 released elsewhere.
enum {
  messageNone = 0,
  messageClick = 1,
  messagePress = 2,
  messageHold = 3,
  messageLeave = 6,
  messageReleasedElsewhere = 7
};

class cEventRect {
public:
  // A click that falls between the construction and the first reading still counts.
  cEventRect() { current.presses = latchedPresses(); }
  cEventRect(cPoint topLeft, cPoint bottomRight) : rect(topLeft, bottomRight)
  {
    current.presses = latchedPresses();
  }

  void mouseDown();
  void mouseUp();
  void mouseHold();
  void mouseOver();
  void mouseMove();
  void mouseOut();

  int myState() const { return state; }
  cRect toRect() const { return rect; }
  void setRect(const cRect& r) { rect = r; }

  // The standard mouse dispatch of one frame for reading m. A whole click that fell between
  // the previous reading and m (seen by the click latch) is dispatched as a press first.
  void trackMouse(const cMouse& m);
  // Clicks latched until now belong to whatever ran before (a game, a dialog): the next
  // reading counts only clicks from here on.
  void forgetEarlierClicks() { current.presses = latchedPresses(); }

protected:
  cRect rect;       // screen pixels, half-open
  cMouse current;   // this frame's reading
  cMouse previous;  // the previous frame's reading
  int message = 0;
  int state = stateIdle;

private:
  void dispatchReading(const cMouse& m);
};

class cGUIElement : public cEventRect {
public:
  cGUIElement() = default;
  cGUIElement(bool hidden, bool enabled) : hidden(hidden), enabled(enabled) {}
  cGUIElement(bool hidden, bool enabled, bool keyHandler, bool mouseHandler)
      : hidden(hidden), enabled(enabled), keyHandler(keyHandler), mouseHandler(mouseHandler)
  {
  }
  virtual ~cGUIElement() = 0;

  // Key mode: 0 or less takes no keys; 1 passive; 2 active; 3 gives up the focus (reported
  // once); 4 takes keys only after a focus switch.
  virtual int hasKeyHandler() { return 0; }
  virtual void switchTo() {}
  virtual void draw(BITMAP* target) = 0;
  virtual int doMe() = 0;
  virtual int myMessage() const = 0;
  virtual void clearMessage() = 0;
  // key as readkey returns it: scan code in the high byte, character in the low byte
  virtual void handleKey(int key) = 0;

  void setEnabled(bool e) { enabled = e; }
  void enable() { enabled = true; }
  void disable() { enabled = false; }
  bool isEnabled() const { return enabled; }
  void setHidden(bool h) { hidden = h; }
  void hide() { hidden = true; }
  void show() { hidden = false; }
  bool isHidden() const { return hidden; }
  void setRedraw() { marked = true; }
  void clearRedraw() { marked = false; }
  bool needsRedraw() const { return marked; }
  bool hasMouseHandler() const { return mouseHandler; }

  void setHandler(void (*h)(long));
  // Calls the handler, when one is set, also with message 0.
  void runHandler(long msg);

protected:
  bool hidden = false;
  bool enabled = true;
  bool marked = false;  // for the collection's next partial redraw
  bool keyHandler = false;
  bool mouseHandler = false;
  void (*handler)(long) = nullptr;
  bool handlerSet = false;
};

#endif
