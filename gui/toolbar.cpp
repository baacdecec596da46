#include "gui/toolbar.h"

#include <allegro.h>

#include "world/host.h"

cToolbar::cToolbar() : cGUIElement(true, false)
{
  hostLog("cToolbar()\n");
  hostReopenLog();
  makeItems(1);
}

cToolbar::cToolbar(int n) : cGUIElement(true, false)
{
  hostLog("Initilizing Toolbar with %i items..", n);  // the system's own wording
  makeItems(n);
  if (!items) hostLog("ITEMS IS NULL\n");
  testitems();
}

cToolbar::~cToolbar() { delete[] items; }

cToolbar::cToolbar(const cToolbar& other) : cGUIElement(other)
{
  makeItems(other.count);
  for (int i = 0; i < count; i++) items[i] = other.items[i];
  message = other.message;
}

cToolbar& cToolbar::operator=(const cToolbar& other)
{
  if (this == &other) return *this;
  cGUIElement::operator=(other);
  if (count != other.count) {
    delete[] items;
    items = nullptr;
    makeItems(other.count);
  }
  for (int i = 0; i < count; i++) items[i] = other.items[i];
  message = other.message;
  return *this;
}

void cToolbar::makeItems(int n)
{
  count = n > 0 ? n : 0;
  items = count ? new cButton[count] : nullptr;
  message = -1;
}

void cToolbar::testitems() const
{
  if (hostDebugLog()) hostLog("Testing Toolbar...\n");
  for (int i = 0; i < count; i++) {
    const cRect r = items[i].toRect();
    hostLog("%i. (%i,%i)-(%i,%i)\n", i, r.left(), r.top(), r.right(), r.bottom());
  }
  if (hostDebugLog()) hostLog("Ending Toolbar Test...\n");
}

void cToolbar::setItemsPos(int i, cRect r)
{
  if (!valid(i)) return;
  if (hostDebugLog()) {
    hostLog("cToolbar::setItemsPos...\n");
    hostReopenLog();
  }
  items[i] = cButton(0, r, nullptr, "");
  if (hostDebugLog()) {
    hostLog("cToolbar::/setItemsPos...\n");
    hostReopenLog();
  }
}

void cToolbar::setItemsImage(int i, BITMAP* b)
{
  if (valid(i)) items[i].setBitmap(0, b);
}

void cToolbar::clearItemsImage(int i)
{
  if (valid(i)) items[i].clearBitmap();
}

void cToolbar::setItemsText(int i, const char* text, int colour)
{
  if (!valid(i)) return;
  items[i].setTextText(text);
  items[i].setTextColour(colour);
}

void cToolbar::setItemsTextT(int i, const char* text, FONT* f, int colour)
{
  if (valid(i)) items[i].setText(text, colour, f);
}

void cToolbar::setEnabled(int i, bool e)
{
  if (valid(i)) items[i].setEnabled(e);
}

cButton* cToolbar::getItemNo(int i) { return valid(i) ? &items[i] : nullptr; }

int cToolbar::doItem(int i)
{
  if (!valid(i) || !items[i].isEnabled()) return 0;
  items[i].doMe();
  return items[i].myMessage();
}

int cToolbar::doItem(int i, const cMouse& m)
{
  if (!valid(i) || !items[i].isEnabled()) return 0;
  items[i].doMe(m);
  return items[i].myMessage();
}

int cToolbar::doMe()
{
  doMe(cMouse::read());
  return 0;
}

void cToolbar::forgetEarlierClicks()
{
  for (int i = 0; i < count; i++) items[i].forgetEarlierClicks();
}

void cToolbar::doMe(const cMouse& m)
{
  message = -1;
  for (int i = 0; i < count; i++)
    if (doItem(i, m) == messageClick) message = i;
}

void cToolbar::draw(BITMAP* target)
{
  for (int i = 0; i < count; i++) items[i].draw(target, 0);
}
