#include "gui/canvas.h"

#include <allegro.h>

#include <algorithm>

void cMessageCanvas::addText(const char* text)
{
  addToQueue(text ? text : "");
  changed = true;
}

void cMessageCanvas::doMe()
{
  if (isEmpty()) return;
  ticks++;
  if (ticks <= 10) return;
  const int n = number();
  if (ticks > 800 || (n >= 4 && ticks > 300) || (n >= 7 && ticks > 50) || n >= 8) removeOldest();
}

void cMessageCanvas::removeOldest()
{
  cQueueNode* oldest = head;
  head = oldest->getNext();
  if (!head) tail = nullptr;
  delete oldest;
  ticks = 0;
  changed = true;
}

void cMessageCanvas::draw(BITMAP* target)
{
  if (!target) return;
  FONT* f = font;
  set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
  clear_to_color(target, bitmap_mask_color(target));
  const int white = makecol_depth(bitmap_color_depth(target), 255, 255, 255);
  int y = 0;
  for (cQueueNode* n = head; n && y < target->h; n = n->getNext()) {
    textout_ex(target, f, n->myData(), 1, y, white, -1);
    y += text_height(f);
  }
  drawn = std::min(y, target->h);
  changed = false;
}
