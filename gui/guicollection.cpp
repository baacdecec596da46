#include "gui/guicollection.h"

#include <allegro.h>

namespace {
constexpr int scanTab = 64;
}

bool cGUICollection::findnext = false;
cGUIElementNode* cGUICollection::lastCurrent = nullptr;
cGUICollection* cGUICollection::switchOwner = nullptr;

cGUIElementNode::~cGUIElementNode()
{
  if (owned && data) delete data;
}

cGUICollection::cGUICollection()
{
  if (keyboard_driver && keypressed()) readkey();
}

cGUICollection::cGUICollection(cRect area) : noKeyboard(true), area(area) {}

cGUICollection::~cGUICollection()
{
  if (switchOwner == this) forgetSharedFocus();
  cGUIElementNode* node = first;
  while (node) {
    cGUIElementNode* next = node->getNext();
    delete node;
    node = next;
  }
}

void cGUICollection::forgetSharedFocus()
{
  findnext = false;
  lastCurrent = nullptr;
  switchOwner = nullptr;
}

bool cGUICollection::owns(const cGUIElement* e) const
{
  for (cGUIElementNode* n = first; n; n = n->getNext())
    if (n->myData() == e && n->isOwned()) return true;
  return false;
}

void cGUICollection::addElement(cGUIElement* e) { addElement(true, e); }

void cGUICollection::addElement(bool owned, cGUIElement* e)
{
  auto* node = new cGUIElementNode(owned && !owns(e), e);
  if (!first) {
    first = last = node;
    return;
  }
  last->setNext(node);
  node->setPrev(last);
  last = node;
}

int cGUICollection::number() const
{
  int n = 0;
  for (cGUIElementNode* node = first; node; node = node->getNext()) n++;
  return n;
}

int cGUICollection::doMe()
{
  int key = noKey;
  if (!noKeyboard && keyboard_driver) {
    poll_keyboard();
    if (keypressed()) key = readkey();
  }
  dispatch(key);
  return 0;
}

void cGUICollection::dispatch(int key)
{
  message = 0;
  for (cGUIElementNode* node = first; node; node = node->getNext()) {
    cGUIElement* e = node->myData();
    if (!e->isEnabled()) {
      e->clearMessage();
      if (focus == node) focus = nullptr;
      continue;
    }
    if (e->hasKeyHandler() > 0 || focus == node) visitForKeys(node, key);
    e->doMe();
    e->runHandler(e->myMessage());
  }
}

// The mode is asked anew at every test: a release (3) is reported only once.
void cGUICollection::visitForKeys(cGUIElementNode* node, int& key)
{
  cGUIElement* e = node->myData();
  if (findnext && node != lastCurrent) {
    const int mode = e->hasKeyHandler();
    if (mode == 4 || mode == 1) {
      e->switchTo();
      focus = node;
      findnext = false;
    }
  }
  if (focus != node && e->hasKeyHandler() != 4) takeFocus(node);
  if (focus) {
    const int mode = focus->myData()->hasKeyHandler();
    if (mode <= 0 || mode == 4) focus = nullptr;
  }
  if (key != noKey && focus == node) {
    e->handleKey(key);
    key = noKey;
    if (e->hasKeyHandler() == 3) {
      lastCurrent = node;
      focus = nullptr;
      findnext = true;
      switchOwner = this;
    }
  }
}

void cGUICollection::takeFocus(cGUIElementNode* node)
{
  cGUIElement* e = node->myData();
  if (!focus) {
    const int mode = e->hasKeyHandler();
    if (mode == 1 || mode == 2) focus = node;
  }
  if ((focus && focus->myData()->hasKeyHandler() == 1) || e->hasKeyHandler() == 2) focus = node;
}

void cGUICollection::draw(BITMAP* target)
{
  for (cGUIElementNode* node = first; node; node = node->getNext())
    if (!node->myData()->isHidden()) node->myData()->draw(target);
}

void cGUICollection::redraw(BITMAP* target)
{
  for (cGUIElementNode* node = first; node; node = node->getNext()) {
    cGUIElement* e = node->myData();
    if (e->isHidden() || !e->needsRedraw()) continue;
    e->draw(target);
    e->clearRedraw();
  }
}

bool cGUICollection::hasRedraw() const
{
  for (cGUIElementNode* node = first; node; node = node->getNext())
    if (!node->myData()->isHidden() && node->myData()->needsRedraw()) return true;
  return false;
}

bool cGUICollection::redraw(BITMAP* target, cRect r)
{
  bool drawn = false;
  for (cGUIElementNode* node = first; node; node = node->getNext()) {
    cGUIElement* e = node->myData();
    if (e->isHidden() || !e->toRect().intersect(r)) continue;
    e->draw(target);
    e->clearRedraw();
    drawn = true;
  }
  return drawn;
}

int cKeyboardHandler::hasKeyHandler()
{
  if (!tabPressed) return 1;
  tabPressed = false;
  return 3;
}

void cKeyboardHandler::handleKey(int key)
{
  lastKey = key;
  if ((key >> 8) == scanTab) tabPressed = true;
}

int cKeyboardHandler::doMe()
{
  if (lastKey != 0) message = 1;
  return 0;
}

int cKeyboardHandler::lastKeyPress()
{
  const int key = lastKey;
  lastKey = 0;
  message = 0;
  return key;
}
