#include "gui/credits.h"

#include <allegro.h>
#include <algorithm>
#include <cstdio>

#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "gui/mouse.h"
#include "world/host.h"
#include "world/metadatabase.h"

// ---- elements ----

int cCreditsElementBitmap::myHeight() const { return picture ? picture->h : 0; }

void cCreditsElementBitmap::draw(BITMAP* target, cPoint at) const
{
  if (picture && target) draw_sprite(target, picture, at.x, at.y);
}

char* cCreditsElementBitmap::toString() const
{
  char* out = new char[40];
  snprintf(out, 40, "Bitmap (%i, %i)", picture ? picture->w : 0, picture ? picture->h : 0);
  return out;
}

cCreditsElementText::cCreditsElementText() : font(::font) { kind = 1; }

cCreditsElementText::cCreditsElementText(FONT* f, const char* t, int colour)
    : font(f ? f : ::font), text(t ? t : ""), colour(colour)
{
  kind = 1;
}

int cCreditsElementText::myHeight() const { return text_height(font); }

void cCreditsElementText::draw(BITMAP* target, cPoint at) const
{
  if (target) textout_ex(target, font, text, at.x, at.y, colour, -1);
}

char* cCreditsElementText::toString() const
{
  char* out = new char[100];
  snprintf(out, 100, "Text (%s)", text);
  return out;
}

int cCreditsElementTextWithSpacing::myHeight() const { return text_height(font) + spacing; }

char* cCreditsElementTextWithSpacing::toString() const
{
  char* out = new char[120];
  snprintf(out, 120, "Text/spacing (%s + %i)", text, spacing);
  return out;
}

char* cCreditsElementSpacer::toString() const
{
  char* out = new char[40];
  snprintf(out, 40, "Spacer (%i)", spacing);
  return out;
}

// ---- the list ----

cCreditsListNode::~cCreditsListNode()
{
  if (owned) delete data;
}

cCredits::~cCredits()
{
  while (first) {
    cCreditsListNode* next = first->getNext();
    delete first;
    first = next;
  }
}

void cCredits::addElement(bool owned, cCreditsElement* e)
{
  auto* node = new cCreditsListNode(owned, e);
  if (!first)
    first = node;
  else
    last->setNext(node);
  last = node;
}

int cCredits::number() const
{
  int n = 0;
  for (cCreditsListNode* node = first; node; node = node->getNext()) n++;
  return n;
}

// Elements that have left the top edge are dropped from the walk for good.
int cCredits::drawFrame(BITMAP* page, cCreditsListNode*& head, int& skipped, int pos) const
{
  int y = skipped - pos;
  const int limit = static_cast<int>(page->h * 1.2);
  clear_to_color(page, 0);
  for (cCreditsListNode* node = head; node && y < limit; node = node->getNext()) {
    const cCreditsElement* e = node->myData();
    const int h = e->myHeight();
    if (y + h < 0) {
      skipped += h;
      head = node->getNext();
    } else {
      e->draw(page, cPoint(0, y));
    }
    y += h;
  }
  return y;
}

void cCredits::doMe(int speed)
{
  long total = 0;
  for (cCreditsListNode* node = first; node; node = node->getNext())
    total += node->myData()->myHeight();
  hostLog("full height of credits = %li\n", total);
  hostReopenLog();
  frames = 0;
  BITMAP* page = SCREEN_W > 0 && SCREEN_H > 0 ? create_bitmap(SCREEN_W, SCREEN_H) : nullptr;
  if (!page) {
    hostLog("Could not create the credits page of %i x %i pixels.\n", SCREEN_W, SCREEN_H);
    hostReopenLog();
    return;
  }
  hideMouse();
  const int pressesAtStart = cMouse::read().presses;
  cCreditsListNode* head = first;
  int skipped = 0;
  bool pressed = false, done = false;
  long frame = 0;
  cFramePacer pacer(60);
  while (!done) {
    // The position follows the clock, so the roll takes as long on a slow machine.
    const int pos = static_cast<int>(-SCREEN_H + speed * frame);
    drawFrame(page, head, skipped, pos);
    blit(page, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
    frames++;
    const cMouse m = cMouse::read();
    if (m.buttons > 0 || m.presses != pressesAtStart) pressed = true;
    done = pos > total || !head || (pressed && m.buttons == 0);
    if (keyboard_driver && keypressed()) {
      readkey();
      done = true;
    }
    if (!done) pacer.wait();
    frame = std::max(frame + 1, pacer.framesElapsed());
  }
  showMouse();
  destroy_bitmap(page);
}
