#include "gui/guielement.h"

void cEventRect::mouseOver()
{
  if (state == stateIdle)
    state = stateHover;
  else if (state == statePressedOutside)
    state = statePressed;
}

void cEventRect::mouseDown()
{
  if (state != stateHover) return;
  state = statePressed;
  message = messagePress;
}

void cEventRect::mouseHold()
{
  if (state == statePressed) message = messageHold;
}

void cEventRect::mouseUp()
{
  if (state == statePressed) {
    state = stateHover;
    message = messageClick;
  } else if (state == stateIdle || state == statePressedOutside) {
    state = stateIdle;
    message = messageReleasedElsewhere;
  }
}

void cEventRect::mouseOut()
{
  if (state == stateHover) {
    state = stateIdle;
    message = messageLeave;
  } else if (state == statePressed) {
    state = statePressedOutside;
  }
}

void cEventRect::mouseMove() {}

void cEventRect::trackMouse(const cMouse& m)
{
  if (m.clickedSince(current)) {
    cMouse press = m;
    press.buttons = m.pressedButtons ? m.pressedButtons : 1;
    dispatchReading(press);
  }
  dispatchReading(m);
}

// The order matters: a press and a release that fall between two readings without the
// latch read as a release only.
void cEventRect::dispatchReading(const cMouse& m)
{
  previous = current;
  current = m;
  message = messageNone;
  const bool heldBefore = previous.buttons != 0;
  const bool heldNow = current.buttons != 0;
  if (current.isIn(rect)) {
    mouseOver();
    if (!heldBefore && heldNow) mouseDown();
    if (heldBefore && heldNow) mouseHold();
    if (current.pos != previous.pos && !heldNow && !heldBefore) mouseMove();
    if (!heldNow && heldBefore) mouseUp();
  } else if (previous.isIn(rect)) {
    mouseOut();
  }
  if (!heldNow && heldBefore) mouseUp();
}

cGUIElement::~cGUIElement() = default;

void cGUIElement::setHandler(void (*h)(long))
{
  handler = h;
  handlerSet = true;
}

void cGUIElement::runHandler(long msg)
{
  if (handlerSet && handler) handler(msg);
}
