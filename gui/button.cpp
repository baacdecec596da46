#include "gui/button.h"

#include <allegro.h>
#include <algorithm>
#include <cstring>

#include "gui/boxbutton.h"
#include "world/host.h"

namespace {

FONT* orBuiltIn(FONT* f) { return f ? f : font; }

// The picture in the given depth: itself, or a converted copy the caller destroys.
BITMAP* inDepth(BITMAP* picture, int depth, bool& converted)
{
  converted = bitmap_color_depth(picture) != depth;
  if (!converted) return picture;
  BITMAP* copy = create_bitmap_ex(depth, picture->w, picture->h);
  if (copy)
    blit(picture, copy, 0, 0, 0, 0, picture->w, picture->h);
  else
    converted = false;
  return copy ? copy : picture;
}

void stretchInto(BITMAP* dest, BITMAP* picture, int x, int y, int w, int h)
{
  if (w < 1 || h < 1) return;
  bool converted;
  BITMAP* source = inDepth(picture, bitmap_color_depth(dest), converted);
  stretch_blit(source, dest, 0, 0, source->w, source->h, x, y, w, h);
  if (converted) destroy_bitmap(source);
}

// A masked picture stretched over (x, y, w, h) of target, converted when the depths differ
// (Allegro's sprite routines read a picture of another depth as garbage).
void drawStretchedSprite(BITMAP* target, BITMAP* picture, int x, int y, int w, int h)
{
  if (w < 1 || h < 1) return;
  if (bitmap_color_depth(picture) == bitmap_color_depth(target)) {
    stretch_sprite(target, picture, x, y, w, h);
    return;
  }
  BITMAP* scratch = create_bitmap_ex(bitmap_color_depth(target), w, h);
  if (!scratch) return;
  clear_to_color(scratch, bitmap_mask_color(scratch));
  stretchInto(scratch, picture, 0, 0, w, h);
  draw_sprite(target, scratch, x, y);
  destroy_bitmap(scratch);
}

// A 32-bit picture whose every pixel has alpha 0 was made for its mask colour (a grabbed
// BMP): drawn by its alpha it would vanish.
bool carriesAlpha(BITMAP* picture)
{
  if (bitmap_color_depth(picture) != 32) return false;
  for (int y = 0; y < picture->h; ++y)
    for (int x = 0; x < picture->w; ++x)
      if (geta32(_getpixel32(picture, x, y)) != 0) return true;
  return false;
}

// Lit drawing needs a colour map at 8 bits: there the picture is drawn plain.
void drawLit(BITMAP* target, BITMAP* sprite, int x, int y, int r, int g, int b, int a, int amount)
{
  if (bitmap_color_depth(target) <= 8 || bitmap_color_depth(sprite) != bitmap_color_depth(target)) {
    draw_sprite(target, sprite, x, y);
    return;
  }
  set_trans_blender(r, g, b, a);
  draw_lit_sprite(target, sprite, x, y, amount);
}

}  // namespace

// ---- cButton ----

cButton::cButton() : cButton(cPoint(0, 0), cPoint(1, 1)) {}

cButton::cButton(cPoint topLeft, cPoint bottomRight)
    : colourH(makecol(160, 160, 160)),
      colourM(makecol(144, 144, 144)),
      colourL(makecol(128, 128, 128))
{
  rect = cRect(topLeft, bottomRight);
  newFace();
}

cButton::cButton(int type, cRect r, BITMAP* picture, const char* caption)
    : cButton(r.topLeft, r.bottomRight)
{
  this->type = type;
  if (caption) makeCaption(caption, makecol(0, 0, 0), font);
  if (picture) setBitmap(0, picture);
}

cButton::~cButton()
{
  releaseFace();
  delete label;
}

cButton::cButton(const cButton& other) : cGUIElement(other)
{
  colourH = colourM = colourL = 0;
  copyFrom(other);
}

cButton& cButton::operator=(const cButton& other)
{
  if (this == &other) return *this;
  cGUIElement::operator=(other);
  copyFrom(other);
  return *this;
}

void cButton::copyFrom(const cButton& other)
{
  if (hostDebugLog()) {
    hostLog("copying cButton().buttonface... %i,%i\n", face ? face->w : 0, face ? face->h : 0);
    hostReopenLog();
  }
  rect = other.rect;
  delete label;
  label = nullptr;
  hasLabel = false;
  if (other.label)
    makeCaption(other.label->myText(), other.label->myColour(), other.label->myFont());
  hasLabel = other.hasLabel;
  colourH = other.colourH;
  colourM = other.colourM;
  colourL = other.colourL;
  std::copy(other.bitmaps, other.bitmaps + 4, bitmaps);
  std::copy(other.hasBitmaps, other.hasBitmaps + 4, hasBitmaps);
  type = other.type > 5 ? 0 : other.type;
  lastState = other.lastState;
  newFace();
}

void cButton::makeCaption(const char* text, long colour, FONT* f)
{
  const cRect own(0, 0, rect.myWidth(), rect.myHeight());
  if (!label) label = new cText(text, own, f, colour, true, true, true);
  label->setText(text);
  label->setColour(colour);
  label->setFont(orBuiltIn(f));
  hasLabel = true;
  faceCaptured = false;
}

void cButton::newFace()
{
  releaseFace();
  face = create_bitmap(std::max(1, rect.myWidth()), std::max(1, rect.myHeight()));
  faceOwned = face != nullptr;
  faceCaptured = false;
}

void cButton::releaseFace()
{
  if (faceOwned && face) destroy_bitmap(face);
  face = nullptr;
  faceOwned = false;
  faceCaptured = false;
}

int cButton::doMe()
{
  doMe(cMouse::read());
  return 0;
}

void cButton::doMe(const cMouse& m)
{
  trackMouse(m);
  if (state == lastState) return;
  lastState = state;
  if (!screen) return;
  hideMouse();
  draw(screen);
  showMouse();
}

void cButton::draw(BITMAP* target, int newState)
{
  state = newState;
  draw(target);
}

void cButton::draw(BITMAP* target)
{
  if (!target) return;
  if (type != 0 || !faceCaptured) {
    if (hasBitmaps[0])
      drawBitmap(target);
    else if (type != 0)
      drawDrawn(target);
    if (hasLabel && label) {
      const bool in = state == statePressed || state == statePressedOutside;
      label->draw(target, rect.topLeft + cPoint(in ? 1 : 0, in ? 1 : 0));
    }
  } else {
    drawFace(target);
  }
  if (!faceCaptured) captureFace(target);
}

void cButton::drawDrawn(BITMAP* target)
{
  static const bool raisedIn[4] = {true, true, false, false};
  const int fill[4] = {colourL, colourH, colourM, colourL};
  const int s = std::clamp(state, 0, 3);
  boxButton box(raisedIn[s], fill[s], rect, makecol(64, 64, 64));
  box.drawMe(target, true);
}

void cButton::drawBitmap(BITMAP* target)
{
  const int x = rect.left(), y = rect.top(), w = rect.myWidth(), h = rect.myHeight();
  const int s = std::clamp(state, 0, 3);
  if (s != 0 && hasBitmaps[s]) {
    drawStretchedSprite(target, bitmaps[s], x, y, w, h);
  } else if (s == 1) {
    drawLitScratch(target, 160, 160, 160, 128, 96, false);
  } else if (s == 2) {
    drawLitScratch(target, 128, 128, 128, 128, 96, true);
  } else if (s == 3) {
    drawLitScratch(target, 96, 96, 96, 96, 112, false);
  } else if (bitmap_color_depth(target) > 8 && w > 0 && h > 0 && carriesAlpha(bitmaps[0])) {
    BITMAP* scratch = create_bitmap_ex(32, w, h);
    if (!scratch) return;
    stretch_blit(bitmaps[0], scratch, 0, 0, bitmaps[0]->w, bitmaps[0]->h, 0, 0, w, h);
    set_alpha_blender();
    draw_trans_sprite(target, scratch, x, y);
    destroy_bitmap(scratch);
  } else {
    drawStretchedSprite(target, bitmaps[0], x, y, std::max(1, w), std::max(1, h));
  }
}

// The hover look (not `lined`) is drawn over white; the pressed looks are the picture moved
// one pixel in, the pressed look with white lines along its top and left.
void cButton::drawLitScratch(BITMAP* target, int r, int g, int b, int a, int amount, bool lined)
{
  const int w = rect.myWidth(), h = rect.myHeight();
  if (w < 1 || h < 1) return;
  const bool hover = state == stateHover;
  BITMAP* scratch =
      create_bitmap_ex(bitmap_color_depth(target), hover ? w + 1 : w, hover ? h + 1 : h);
  if (!scratch) return;
  const int white = makecol_depth(bitmap_color_depth(scratch), 255, 255, 255);
  clear_to_color(scratch, hover ? white : bitmap_mask_color(scratch));
  if (hover) {
    stretchInto(scratch, bitmaps[0], 0, 0, w, h);
  } else {
    if (lined) {
      hline(scratch, 0, 0, w - 1, white);
      vline(scratch, 0, 0, h - 1, white);
    }
    stretchInto(scratch, bitmaps[0], 1, 1, w - 1, h - 1);
  }
  drawLit(target, scratch, rect.left(), rect.top(), r, g, b, a, amount);
  destroy_bitmap(scratch);
}

void cButton::drawFace(BITMAP* target)
{
  const int x = rect.left(), y = rect.top();
  switch (std::clamp(state, 0, 3)) {
    case 0: draw_sprite(target, face, x, y); break;
    case 1: drawLit(target, face, x, y, 160, 160, 160, 128, 96); break;
    case 2: drawLit(target, face, x + 1, y + 1, 96, 96, 96, 128, 96); break;
    default: drawLit(target, face, x + 1, y + 1, 80, 80, 80, 128, 112); break;
  }
}

void cButton::captureFace(BITMAP* target)
{
  const int w = std::max(1, rect.myWidth()), h = std::max(1, rect.myHeight());
  if (!face || bitmap_color_depth(face) != bitmap_color_depth(target)) {
    releaseFace();
    face = create_bitmap_ex(bitmap_color_depth(target), w, h);
    faceOwned = face != nullptr;
    if (!face) return;
  }
  // The pointer must not end up in the picture.
  const bool onScreen = target == screen;
  if (onScreen) hideMouse();
  acquire_bitmap(target);
  blit(target, face, rect.left(), rect.top(), 0, 0, w, h);
  release_bitmap(target);
  if (onScreen) showMouse();
  faceCaptured = true;
}

void cButton::setTextText(const char* text)
{
  if (!label) makeCaption(text, makecol(255, 255, 255), font);
  label->setText(text);
  hasLabel = true;
  faceCaptured = false;
}

void cButton::setTextColour(long c)
{
  if (!label) return;
  label->setColour(c);
  faceCaptured = false;
}

void cButton::setTextFont(FONT* f)
{
  if (!label) return;
  label->setFont(orBuiltIn(f));
  faceCaptured = false;
}

void cButton::setText(const char* text, long colour, FONT* f) { makeCaption(text, colour, f); }

int cButton::myTextColour() const { return label ? label->myColour() : 0; }
FONT* cButton::myTextFont() const { return label ? label->myFont() : nullptr; }
const char* cButton::myTextText() const { return label ? label->myText() : ""; }

void cButton::setBitmap(int forState, BITMAP* b)
{
  if (forState < 0 || forState > 3) return;
  bitmaps[forState] = b;
  hasBitmaps[forState] = b != nullptr;
}

void cButton::clearBitmap()
{
  for (int i = 0; i < 4; i++) setBitmap(i, nullptr);
}

bool cButton::hasBitmap(int forState) const
{
  return forState >= 0 && forState <= 3 && hasBitmaps[forState];
}

BITMAP* cButton::myBitmap(int forState) const
{
  return hasBitmap(forState) ? bitmaps[forState] : nullptr;
}

void cButton::setBounds(cRect r)
{
  rect = r;
  if (label) label->setRect(cRect(0, 0, r.myWidth(), r.myHeight()));
  newFace();
  type = 0;
}
