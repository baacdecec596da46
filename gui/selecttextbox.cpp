// The selection box declared in gui/mouse.h.
#include <allegro.h>
#include <algorithm>

#include "gui/boxbutton.h"
#include "gui/button.h"
#include "gui/textbox.h"

cSelectTextBox::cSelectTextBox(const char* t, cRect r, cList* l) : cTextBox(t, r), list(l)
{
  makeButton();
}

cSelectTextBox::cSelectTextBox(const char* t, cRect r, FONT* f, long textCol, cList* l)
    : cTextBox(t, r, f, textCol), list(l)
{
  makeButton();
}

cSelectTextBox::cSelectTextBox(const char* t, cRect r, FONT* f, long textCol, long backCol,
                               cList* l)
    : cTextBox(t, r, f, textCol, backCol), list(l)
{
  makeButton();
}

cSelectTextBox::~cSelectTextBox()
{
  for (BITMAP* b : {arrowNormal, arrowPressed, arrowHover, arrowPressedOutside})
    if (b) destroy_bitmap(b);
}

// The arrow pictures carry no alpha channel: at 32 bits they are made in 24, so that the
// button draws them as masked pictures rather than through their (empty) alpha.
static int pictureDepth() { return get_color_depth() == 32 ? 24 : get_color_depth(); }
static int pictureColour(int r, int g, int b) { return makecol_depth(pictureDepth(), r, g, b); }

BITMAP* cSelectTextBox::createArrow(int size)
{
  const int s = std::max(1, size);
  BITMAP* arrow = create_bitmap_ex(pictureDepth(), s, s);
  if (!arrow) return nullptr;
  clear_to_color(arrow, bitmap_mask_color(arrow));
  triangle(arrow, s / 4 + 1, s / 3 + 1, 3 * s / 4 + 1, s / 3 + 1, s / 2 + 1, 3 * s / 4 + 1,
           pictureColour(96, 96, 96));
  triangle(arrow, s / 4, s / 3, 3 * s / 4, s / 3, s / 2, 3 * s / 4, pictureColour(0, 0, 0));
  return arrow;
}

namespace {

BITMAP* arrowPicture(BITMAP* arrow, int s, bool raised, int fill, int topLeft, int bottomRight)
{
  BITMAP* picture = create_bitmap_ex(pictureDepth(), s, s);
  if (!picture) return nullptr;
  clear_to_color(picture, bitmap_mask_color(picture));
  boxButton(raised, fill, cRect(0, 0, s - 1, s - 1), bottomRight, topLeft).drawMe(picture, true);
  if (arrow) draw_sprite(picture, arrow, 0, 0);
  return picture;
}

}  // namespace

// Even a box less than 2 pixels high gets 1-pixel arrow pictures.
void cSelectTextBox::makeButton()
{
  const int s = std::max(1, rect.myHeight() - 1);
  BITMAP* arrow = createArrow(s);
  arrowNormal = arrowPicture(arrow, s, true, pictureColour(144, 144, 144),
                             pictureColour(160, 160, 160), pictureColour(80, 80, 80));
  arrowHover = arrowPicture(arrow, s, true, pictureColour(160, 160, 160),
                            pictureColour(160, 160, 160), pictureColour(112, 112, 112));
  arrowPressed = arrowPicture(arrow, s, false, pictureColour(128, 128, 128),
                              pictureColour(112, 112, 112), pictureColour(160, 160, 160));
  arrowPressedOutside = arrowPicture(arrow, s, false, pictureColour(96, 96, 96),
                                     pictureColour(64, 64, 64), pictureColour(128, 128, 128));
  if (arrow) destroy_bitmap(arrow);
  const cRect square(rect.right() - rect.myHeight(), rect.top(), rect.right(), rect.bottom());
  arrowButton = cButton(1, square, arrowNormal, nullptr);
  arrowButton.setBitmap(1, arrowHover);
  arrowButton.setBitmap(2, arrowPressed);
  arrowButton.setBitmap(3, arrowPressedOutside);
}

int cSelectTextBox::doMe()
{
  const cMouse m = cMouse::read();
  arrowButton.doMe(m);
  cTextBox::doMe(m);
  return 0;
}

bool cSelectTextBox::keypadMoves(int key) const
{
  const int scan = key >> 8;
  return scan == KEY_4_PAD || scan == KEY_6_PAD;
}

void cSelectTextBox::draw(BITMAP* target)
{
  drawField(target, rect.myWidth() - rect.myHeight());
  arrowButton.draw(target);
}
