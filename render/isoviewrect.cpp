#include "render/isoviewrect.h"

#include <allegro.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "gui/mouse.h"
#include "render/viewgeometry.h"

bool cHotSpotRect::switchedOut = false;

namespace {
void onSwitchOut() { cHotSpotRect::setSwitchedOut(true); }
void onSwitchIn() { cHotSpotRect::setSwitchedOut(false); }
}  // namespace

void cHotSpotRect::setOffset(cPoint p)
{
  if (maxOffset.includes(-p)) offset = p;
}

bool cHotSpotRect::watchDisplaySwitch()
{
  return set_display_switch_callback(SWITCH_OUT, onSwitchOut) == 0 &&
         set_display_switch_callback(SWITCH_IN, onSwitchIn) == 0;
}

cPoint cHotSpotRect::check()
{
  // Allegro keeps the last position when the pointer leaves the window.
  if (switchedOut || !mouse_driver) return offset;
  const cMouse reading = cMouse::read();
  if (!mouse_on_screen()) return offset;
  cRect screenRect(0, 0, SCREEN_W, SCREEN_H);
  if (edgesIgnored) screenRect.inset(1, 1);
  if (!screenRect.includes(reading.pos) || reading.buttons != 0) return offset;
  offset =
      edgeScroll(quietPointer(reading.pos, screenRect, quietArea), screenRect, offset, maxOffset);
  return offset;
}

cIsoViewRect::cIsoViewRect(cPoint mapSize) : view(mapSize)
{
  buffer = create_bitmap(1, 1);
  view.setMapSize(mapSize);
}

cIsoViewRect::~cIsoViewRect()
{
  dropLayerTarget();
  if (buffer) destroy_bitmap(buffer);
}

bool cIsoViewRect::setBounds(cRect r)
{
  const int w = r.myWidth(), h = r.myHeight();
  // Allegro sizes a bitmap's pixels in an int: refuse what would overflow it.
  if (w <= 0 || h <= 0 || std::int64_t(w) * h * 4 > INT_MAX) return false;
  BITMAP* fresh = create_bitmap(w, h);
  if (!fresh) return false;
  clear_bitmap(fresh);
  if (buffer) destroy_bitmap(buffer);
  buffer = fresh;
  rect = r;
  bufferValid = true;
  dropLayerTarget();
  return true;
}

void cIsoViewRect::reCenter(cPoint p)
{
  setOffset(p);
  if (offset == p) view.setStartPos(p + cPoint(rect.myWidth() / 2, 0));
}

void cIsoViewRect::setZoom(int zoom)
{
  const cPoint size(rect.myWidth(), rect.myHeight());
  const cPoint centred = zoomCentreOffset(size, view.getStartPos(), view.getZoom(), zoom);
  view.setZoom(zoom);
  centreOn(centred);
}

// Kept inside the limits, so that no target strands the map off the view.
void cIsoViewRect::centreOn(cPoint p)
{
  updateLimits();
  const cPoint wanted = clampIntoLimits(p, maxOffset);
  reCenter(wanted);
  if (offset != wanted) {
    offset = wanted;  // an axis with inverted limits takes no offset through setOffset
    view.setStartPos(wanted + cPoint(rect.myWidth() / 2, 0));
  }
}

bool cIsoViewRect::checkScroll()
{
  updateLimits();
  const cPoint now = check();
  if (now == drawnOffset) return false;
  drawnOffset = now;
  return true;
}

void cIsoViewRect::externalScroll(cPoint delta) { setOffset(drawnOffset + delta); }

cPoint cIsoViewRect::getViewPortSize() const
{
  return viewPortSize(view.getMaxPos(), view.getZoom());
}

void cIsoViewRect::updateLimits()
{
  setMaxOffset(scrollLimits(rect.myWidth(), getViewPortSize(), SCREEN_H));
}

bool cIsoViewRect::ensureBuffer()
{
  return bufferValid || setBounds(cRect(0, 0, SCREEN_W, SCREEN_H));
}

void cIsoViewRect::placeView() { view.setStartPos(drawnOffset + cPoint(rect.myWidth() / 2, 0)); }

void cIsoViewRect::draw(BITMAP* target)
{
  if (!target || !ensureBuffer()) return;
  clear_to_color(buffer, 0);
  placeView();
  view.drawMe(buffer);
  blit(buffer, target, 0, 0, rect.left(), rect.top(), rect.myWidth(), rect.myHeight());
}

void cIsoViewRect::redrawquick(BITMAP* target)
{
  if (!target || !ensureBuffer()) return;
  blit(buffer, target, 0, 0, rect.left(), rect.top(), rect.myWidth(), rect.myHeight());
}

void cIsoViewRect::drawLayer(BITMAP* target, int layer)
{
  if (!target || !ensureBuffer()) return;
  placeView();
  BITMAP* window = layerTarget(target);
  if (window) view.drawRawLayer(window, layer);
}

// The sub-bitmap is remade only for another target (or another bitmap at the same address).
BITMAP* cIsoViewRect::layerTarget(BITMAP* target)
{
  if (layerView && layerParent == target && layerParentPixels == target->line[0]) return layerView;
  dropLayerTarget();
  const int x = rect.left(), y = rect.top();
  if (x < 0 || y < 0 || x >= target->w || y >= target->h) return nullptr;
  layerView = create_sub_bitmap(target, x, y, std::min(rect.myWidth(), target->w - x),
                                std::min(rect.myHeight(), target->h - y));
  layerParent = target;
  layerParentPixels = target->line[0];
  return layerView;
}

void cIsoViewRect::dropLayerTarget()
{
  if (layerView) destroy_bitmap(layerView);
  layerView = nullptr;
  layerParent = nullptr;
  layerParentPixels = nullptr;
}
