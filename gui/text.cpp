#include "gui/text.h"

#include <allegro.h>
#include <algorithm>
#include <cstring>

namespace {

void copyCut(char* dest, const char* src, int capacity)
{
  strncpy(dest, src ? src : "", capacity - 1);
  dest[capacity - 1] = '\0';
}

FONT* orBuiltIn(FONT* f) { return f ? f : font; }

}  // namespace

// ---- cText ----

cText::cText(const char* t, cRect r) : cText(t, r, nullptr, makecol(255, 255, 255)) {}

cText::cText(const char* t, cRect r, FONT* f, long c) : cText(t, r, f, c, false, false, false) {}

cText::cText(const char* t, cRect r, FONT* f, long c, bool centered, bool shadow, bool transparent)
    : cGUIElement(false, false),
      font(orBuiltIn(f)),
      colour(c),
      centered(centered),
      shadow(shadow),
      transparent(transparent)
{
  rect = r;
  setText(t);
}

void cText::setText(const char* t) { copyCut(text, t, sizeof text); }

int cText::getShadowColour(long c)
{
  const int r = getr(c), g = getg(c), b = getb(c);
  if (c > makecol(128, 128, 128)) return makecol(r / 2, g / 2, b / 2);
  return makecol(std::min(255, r / 2 + 255), std::min(255, g / 2 + 255),
                 std::min(255, b / 2 + 255));
}

void cText::draw(BITMAP* target, cPoint offset)
{
  if (!target) return;
  cRect r = rect;
  r.offset(offset);
  FONT* f = orBuiltIn(font);
  set_clip_rect(target, r.left(), r.top(), r.right() - 1, r.bottom() - 1);
  if (!transparent)
    rectfill(target, r.left(), r.top(), r.right() - 1, r.bottom() - 1, makecol(0, 0, 0));
  const bool withShadow = shadow && bitmap_color_depth(target) > 8;
  if (centered) {
    const int x = r.left() + r.myWidth() / 2;
    const int y = r.top() + r.myHeight() / 2 - text_height(f) / 2;
    if (withShadow) textout_centre_ex(target, f, text, x + 1, y + 1, getShadowColour(colour), -1);
    textout_centre_ex(target, f, text, x, y, colour, -1);
  } else {
    if (withShadow)
      textout_ex(target, f, text, r.left() + 1, r.top() + 1, getShadowColour(colour), -1);
    textout_ex(target, f, text, r.left(), r.top(), colour, -1);
  }
  set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
}
