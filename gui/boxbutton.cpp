#include "gui/boxbutton.h"

#include <allegro.h>

boxButton::boxButton(bool raised, cRect r) : rect(r), raised(raised) { setColours(); }

boxButton::boxButton(bool raised, cRect r, long bottomRight, long topLeft)
    : rect(r), raised(raised), edgeBottomRight(bottomRight), edgeTopLeft(topLeft)
{
}

boxButton::boxButton(bool raised, cRect r, long shadow)
    : rect(r), raised(raised), shadowed(true), shadowColour(shadow)
{
  setColours();
}

boxButton::boxButton(bool raised, long colour, cRect r)
    : rect(r), raised(raised), filled(true), colour(colour)
{
  setColours();
}

boxButton::boxButton(bool raised, long colour, cRect r, long bottomRight, long topLeft)
    : rect(r),
      raised(raised),
      filled(true),
      colour(colour),
      edgeBottomRight(bottomRight),
      edgeTopLeft(topLeft)
{
}

boxButton::boxButton(bool raised, long colour, cRect r, long shadow)
    : rect(r), raised(raised), filled(true), shadowed(true), colour(colour), shadowColour(shadow)
{
  setColours();
}

boxButton::boxButton(bool raised, BITMAP* texture, cRect r)
    : rect(r), raised(raised), textured(true), texture(texture)
{
  setColours();
}

void boxButton::setColours()
{
  const int light = makecol(255, 255, 255);
  const int dark = makecol(80, 80, 80);
  edgeTopLeft = raised ? light : dark;
  edgeBottomRight = raised ? dark : light;
}

void boxButton::setShadow(int c)
{
  shadowed = true;
  shadowColour = c;
}

void boxButton::setColour(int c)
{
  filled = true;
  textured = false;
  colour = c;
}

void boxButton::setTexture(BITMAP* t)
{
  textured = true;
  filled = false;
  texture = t;
}

void boxButton::fillBox(BITMAP* target) const
{
  const int x1 = rect.left(), y1 = rect.top(), x2 = rect.right(), y2 = rect.bottom();
  if (filled) {
    rectfill(target, x1, y1, x2, y2, colour);
  } else if (textured && texture) {
    drawing_mode(DRAW_MODE_COPY_PATTERN, texture, 0, 0);
    rectfill(target, x1, y1, x2, y2, makecol(128, 128, 128));
    solid_mode();
  } else {
    rectfill(target, x1, y1, x2, y2, makecol(128, 128, 128));
  }
}

void boxButton::drawMe(BITMAP* target, bool fill) const
{
  if (!target) return;
  const int x1 = rect.left(), y1 = rect.top(), x2 = rect.right(), y2 = rect.bottom();
  if (fill) fillBox(target);
  // Translucent lines at 8 bits would need a colour map.
  if (textured && bitmap_color_depth(target) > 8) {
    set_trans_blender(128, 128, 128, 128);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
  }
  hline(target, x1, y2, x2, edgeBottomRight);
  vline(target, x2, y1, y2, edgeBottomRight);
  hline(target, x1, y1, x2, edgeTopLeft);
  vline(target, x1, y1, y2, edgeTopLeft);
  if (shadowed) {
    hline(target, x1 + 1, y2 + 1, x2 + 1, shadowColour);
    vline(target, x2 + 1, y1 + 1, y2 + 1, shadowColour);
  }
  solid_mode();
}
