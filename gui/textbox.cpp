// The text boxes declared in gui/mouse.h.
#include <allegro.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gui/boxbutton.h"
#include "gui/textbox.h"

namespace {
constexpr int lastIndex = 39;  // the terminator's place in a full text
}

cTextBox::cTextBox(const char* t, cRect r) : cGUIElement(false, true, true, true)
{
  rect = r;
  init(t, ::font, makecol(255, 255, 255), makecol(0, 0, 0));
}

cTextBox::cTextBox(const char* t, cRect r, FONT* f, long textCol)
    : cGUIElement(false, true, true, true)
{
  rect = r;
  init(t, f, textCol, makecol(0, 0, 0));
}

cTextBox::cTextBox(const char* t, cRect r, FONT* f, long textCol, long backCol)
    : cGUIElement(false, true, true, true)
{
  rect = r;
  init(t, f, textCol, backCol);
}

void cTextBox::init(const char* t, FONT* f, long textCol, long backCol)
{
  strncpy(text, t ? t : "", lastIndex);
  font = f ? f : ::font;
  textColour = textCol;
  backColour = backCol;
  length = strlen(text);
  cursor = length;
}

int cTextBox::hasKeyHandler()
{
  if (released) {
    released = false;
    return 3;
  }
  return active ? 2 : 4;
}

void cTextBox::switchTo()
{
  active = true;
  length = strlen(text);
  anchor = 0;
  cursor = length;
  dirty = true;
}

int cTextBox::textLength(const char* s, int from, int n) const
{
  char part[capacity] = {};
  const int available = strlen(s);
  from = std::clamp(from, 0, available);
  n = std::clamp(n, 0, std::min(available - from, capacity - 1));
  memcpy(part, s + from, n);
  return text_length(font, part);
}

int cTextBox::getClosestCursorPos(cPoint p) const
{
  const int len = strlen(text);
  int best = -1;
  int bestDistance = 0;
  for (int i = 0; i <= len; i++) {
    const int d = std::abs(p.x - textLength(text, 0, i));
    if (d >= rect.myWidth() - 4) continue;
    if (best == -1 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

int cTextBox::positionUnder(cPoint screenPos) const
{
  return getClosestCursorPos(screenPos - rect.topLeft - cPoint(2, 2));
}

void cTextBox::moveCursorLeft()
{
  if (cursor > 0) cursor--;
}

void cTextBox::moveCursorRight()
{
  if (cursor < static_cast<int>(strlen(text))) cursor++;
}

void cTextBox::shiftLText(int a, int b)
{
  a = std::max(a, 1);
  b = std::min(b, lastIndex);
  for (int i = a; i <= b; i++) text[i - 1] = text[i];
}

void cTextBox::shiftRText(int a, int b)
{
  if (a < 0 || a > lastIndex - 1) return;
  b = std::min(b, lastIndex - 1);
  for (int i = b; i >= a; i--) text[i + 1] = text[i];
  text[lastIndex] = '\0';
}

// ---- keys ----

bool cTextBox::removeSelection()
{
  if (anchor < 0 || anchor == cursor) return false;
  const int lo = std::min(anchor, cursor), hi = std::min(std::max(anchor, cursor), length);
  memmove(text + lo, text + hi, length - hi + 1);
  memset(text + lo + (length - hi), 0, capacity - (lo + length - hi));
  length = strlen(text);
  cursor = lo;
  anchor = -1;
  return true;
}

void cTextBox::insertCharacter(char c)
{
  removeSelection();
  anchor = -1;
  if (length > capacity - 2) return;
  shiftRText(cursor, length);
  text[cursor] = c;
  cursor++;
  length = strlen(text);
}

void cTextBox::deleteForward()
{
  if (length == 0) return;
  if (!removeSelection() && cursor < length) shiftLText(cursor + 1, length);
  anchor = -1;
  dirty = true;
}

void cTextBox::deleteBackward()
{
  if (length == 0) return;
  if (!removeSelection() && cursor > 0) {
    shiftLText(cursor, length);
    cursor--;
  }
  anchor = -1;
  dirty = true;
}

bool cTextBox::keypadMoves(int key) const
{
  const int scan = key >> 8, ch = key & 0xff;
  return (scan == KEY_4_PAD && ch != '4') || (scan == KEY_6_PAD && ch != '6');
}

void cTextBox::typeKey(int key)
{
  const int scan = key >> 8, ch = key & 0xff;
  if (keypadMoves(key)) {
    if (scan == KEY_4_PAD)
      moveCursorLeft();
    else
      moveCursorRight();
    dirty = true;
    return;
  }
  // Names, hosts and addresses take printable ASCII only.
  if (ch < 32 || ch > 126) return;
  insertCharacter(static_cast<char>(ch));
  dirty = true;
}

void cTextBox::handleKey(int key)
{
  length = strlen(text);
  cursor = std::clamp(cursor, 0, length);
  switch (key >> 8) {
    case KEY_LEFT:
      moveCursorLeft();
      anchor = -1;
      dirty = true;
      break;
    case KEY_RIGHT:
      moveCursorRight();
      anchor = -1;
      dirty = true;
      break;
    case KEY_HOME:
      if (cursor != 0) {
        cursor = 0;
        anchor = -1;
        dirty = true;
      }
      break;
    case KEY_END:
      if (cursor != length) {
        cursor = length;
        anchor = -1;
        dirty = true;
      }
      break;
    case KEY_ENTER:
    case KEY_ENTER_PAD: active = false; break;
    case KEY_ESC:
      active = false;
      anchor = -1;
      break;
    case KEY_TAB:
      released = true;
      active = false;
      anchor = -1;
      dirty = true;
      break;
    case KEY_DEL: deleteForward(); break;
    case KEY_BACKSPACE: deleteBackward(); break;
    default: typeKey(key); break;
  }
  length = strlen(text);
}

// ---- mouse ----

int cTextBox::doMe()
{
  doMe(cMouse::read());
  return 0;
}

void cTextBox::doMe(const cMouse& m)
{
  const int oldState = state;
  if (m.clickedSince(current)) {
    cMouse press = m;
    press.buttons = m.pressedButtons ? m.pressedButtons : 1;
    processReading(press);
  }
  processReading(m);
  redrawOnScreenIfChanged(oldState);
}

void cTextBox::processReading(const cMouse& m)
{
  previous = current;
  current = m;
  const int oldMessage = message;
  message = 0;
  cRect inner = rect;
  inner.inset(1, 1);
  if (inner.includes(current.pos))
    processInside(oldMessage);
  else
    processOutside();
}

void cTextBox::processInside(int)
{
  cRect inner = rect;
  inner.inset(1, 1);
  const bool heldBefore = previous.buttons != 0, heldNow = current.buttons != 0;
  const bool moved = current.pos != previous.pos;
  mouseOver();
  if (!heldBefore && heldNow) {
    mouseDown();
    dragState = 2;
    anchor = -1;
    dirty = true;
  } else if (dragState == 2 && heldNow && current.pos.x != previous.pos.x) {
    // Movement while held is a drag; movement before the press is not.
    dragState = 10;
    active = true;
    anchor = positionUnder(previous.pos);
  }
  if (heldBefore && heldNow && dragState == 10) {
    mouseHold();
    if (moved) {
      const int c = positionUnder(current.pos);
      if (!inner.includes(previous.pos)) active = true;
      if (c != cursor && c != -1) {
        cursor = c;
        dirty = true;
      }
    }
  }
  if (moved && !heldNow && !heldBefore) mouseMove();
  if (!heldNow && heldBefore) {
    if (dragState == 10 || dragState == 2) {
      active = true;
      dragState = 0;
      const int c = positionUnder(current.pos);
      if (c != cursor && c != -1) {
        cursor = c;
        dirty = true;
      }
    }
    mouseUp();
    if (anchor == cursor) anchor = -1;
  }
}

// A drag that began inside keeps moving the caret outside; one that began outside never
// does, and a release outside ends the drag.
void cTextBox::processOutside()
{
  cRect inner = rect;
  inner.inset(1, 1);
  const bool heldBefore = previous.buttons != 0, heldNow = current.buttons != 0;
  if (inner.includes(previous.pos)) mouseOut();
  if (!heldBefore && heldNow) {
    dragState = 0;
    anchor = -1;
    active = false;
  }
  if (heldBefore && heldNow && current.pos != previous.pos && dragState == 10) {
    const int c = positionUnder(current.pos);
    if (c != cursor && c != -1) {
      cursor = c;
      dirty = true;
    }
  }
  if (heldBefore && !heldNow) {
    dragState = 0;
    mouseUp();
    if (anchor == cursor) anchor = -1;
  }
}

void cTextBox::redrawOnScreenIfChanged(int oldState)
{
  if (!dirty && active == drawnActive && state == oldState) return;
  dirty = false;
  drawnActive = active;
  if (!screen) return;
  hideMouse();
  draw(screen);
  showMouse();
}

// ---- drawing ----

void cTextBox::draw(BITMAP* target) { drawField(target, rect.myWidth()); }

void cTextBox::drawField(BITMAP* target, int fieldWidth) const
{
  if (!target) return;
  const int w = rect.myWidth(), h = rect.myHeight();
  if (w < 1 || h < 1) return;
  BITMAP* scratch = create_bitmap_ex(bitmap_color_depth(target), w + 1, h + 1);
  if (!scratch) return;
  clear_to_color(scratch, 0);
  const int fw = fieldWidth;
  const cRect inside(1, 1, fw - 2, h - 2);
  if (active) {
    boxButton(true, backColour, inside, makecol(255, 255, 255), makecol(160, 160, 160))
        .drawMe(scratch, true);
    ::rect(scratch, 0, 0, fw - 1, h - 1, textColour);
  } else {
    boxButton(true, backColour, inside, makecol(144, 144, 144), makecol(0, 0, 0))
        .drawMe(scratch, true);
    boxButton(true, cRect(0, 0, fw - 1, h - 1), makecol(208, 208, 208), makecol(96, 96, 96))
        .drawMe(scratch, false);
  }
  const int th = text_height(font);
  const int s2 = 2 + textLength(text, 0, cursor);
  if (anchor >= 0 && anchor != cursor) {
    const int s1 = 2 + textLength(text, 0, anchor);
    const int selection = active ? makecol(16, 16, 160) : makecol(64, 64, 64);
    rectfill(scratch, std::min(s1, s2), 3, std::max(s1, s2), th + 3, selection);
  }
  if (active) vline(scratch, s2, 3, th + 3, textColour);
  textout_ex(scratch, font, text, 2, 3, textColour, -1);
  blit(scratch, target, 0, 0, rect.left(), rect.top(), w, h);
  destroy_bitmap(scratch);
}
