#include "render/minimap.h"

#include <allegro.h>

#include <algorithm>

#include "gui/mouse.h"
#include "render/catalogueimages.h"
#include "render/viewgeometry.h"
#include "world/metadatabase.h"

cMinimap::cMinimap(cPoint topLeft, cPoint bottomRight, cMapLayer* objects, cMapLayer* units,
                   cMapLayer* terrain)
    : cGUIElement(false, true),
      mapSize(objects ? objects->myMaxPos() : cPoint()),
      objectLayer(objects),
      unitLayer(units),
      terrainLayer(terrain)
{
  rect = cRect(topLeft, bottomRight);
}

void cMinimap::setState(int zoom, cPoint start, cPoint size)
{
  viewZoom = zoom;
  viewStart = start;
  viewSize = size;
}

void cMinimap::setOwners(const cMap* map, long local)
{
  ownersMap = map;
  localPlayer = local;
}

void cMinimap::draw(BITMAP* target)
{
  const int x1 = rect.left(), y1 = rect.top(), x2 = rect.right() - 1, y2 = rect.bottom() - 1;
  set_clip_rect(target, x1, y1, x2, y2);
  rectfill(target, x1, y1, x2, y2, makecol_depth(bitmap_color_depth(target), 0, 0, 0));
  // A map without extent has no scale: only the black square.
  scale = minimapScale(cPoint(rect.myWidth(), rect.myHeight()), mapSize);
  if (scale > 0 && objectLayer && unitLayer && terrainLayer) {
    drawCells(target, scale);
    if (ownersMap) drawOwners(target, scale);
    drawOutline(target, scale);
  }
  set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
}

void cMinimap::drawCells(BITMAP* target, double s)
{
  const int depth = bitmap_color_depth(target);
  if (depth != coloursDepth) convertColours(depth);
  const int blue = makecol_depth(depth, 0, 0, 255), white = makecol_depth(depth, 255, 255, 255);
  const int black = makecol_depth(depth, 0, 0, 0);
  const int kinds = static_cast<int>(depthColours.size());
  const int x1 = rect.left(), y1 = rect.top();
  for (int x = 0; x < mapSize.x; ++x) {
    for (int y = 0; y < mapSize.y; ++y) {
      const cPoint tile(x, y);
      const int t = terrainLayer->get(tile);
      int colour = t >= 0 && t < kinds ? depthColours[t] : black;
      if (!ownersMap && objectLayer->get(tile) != 0)
        colour = blue;
      else if (!ownersMap && unitLayer->get(tile) != 0)
        colour = white;
      const int left = x1 + int(y * s), top = y1 + int(x * s);
      if (s < 1)
        putpixel(target, left, top, colour);
      else
        ::rect(target, left, top, x1 + int((y + 1) * s), y1 + int((x + 1) * s), colour);
    }
  }
}

// Units at least 2 pixels square, so that a lone soldier shows on a large map.
void cMinimap::drawOwners(BITMAP* target, double s)
{
  const int depth = bitmap_color_depth(target);
  for (const cObjectList* list : {ownersMap->getBuildings(), ownersMap->getUnits()}) {
    for (cObjectListNode* n = list->getFirstNode(); n; n = n->getNext()) {
      const cBaseObject* o = n->myData();
      const int v = ownerColourRGB(ownerColourIndex(o->getPlayerID(), localPlayer));
      const int colour = makecol_depth(depth, v >> 16, (v >> 8) & 255, v & 255);
      const cPoint p = o->myPosition(), d(o->myDim().x, o->myDim().y);
      const cPoint from = rect.topLeft + minimapPixel(p, s);
      cPoint to = rect.topLeft + minimapPixel(p + d, s) - cPoint(1, 1);
      if (o->myObjectType() == 1)
        to = cPoint(std::max(to.x, from.x + 1), std::max(to.y, from.y + 1));
      rectfill(target, from.x, from.y, std::max(from.x, to.x), std::max(from.y, to.y), colour);
    }
  }
}

// The view's corners, in its own pixels, taken to tiles and then to minimap pixels.
void cMinimap::drawOutline(BITMAP* target, double s)
{
  if (viewZoom <= 0) return;
  const cPoint corners[4] = {cPoint(0, 0), cPoint(viewSize.x, 0), viewSize, cPoint(0, viewSize.y)};
  cPoint at[4];
  for (int i = 0; i < 4; ++i) {
    cIsoPoint tile;
    tile.set2DPosScaled(corners[i] - viewStart, viewZoom);
    at[i] = rect.topLeft + minimapPixel(tile, s);
  }
  const int red = makecol_depth(bitmap_color_depth(target), 255, 0, 0);
  for (int i = 0; i < 4; ++i)
    line(target, at[i].x, at[i].y, at[(i + 1) % 4].x, at[(i + 1) % 4].y, red);
}

int cMinimap::doMe()
{
  doMe(cMouse::read());
  return 0;
}

void cMinimap::doMe(const cMouse& m)
{
  previous = current;
  current = m;
  message = 0;
  const double s = minimapScale(cPoint(rect.myWidth(), rect.myHeight()), mapSize);
  // A click that began and ended between two readings counts as held.
  const bool pressed = m.buttons != 0 || m.clickedSince(previous);
  if (s <= 0 || !rect.includes(m.pos) || !pressed) return;
  message = 1;
  lastClick = minimapTileAt(m.pos - rect.topLeft, s);
}

int cMinimap::terrainRGB(int t)
{
  if (!metaList || t < 0 || t >= metaList->retrieveMaxTerrains()) return 0;
  if (rgbCache.size() != size_t(metaList->retrieveMaxTerrains()))
    rgbCache.assign(metaList->retrieveMaxTerrains(), -1);
  if (rgbCache[t] >= 0) return rgbCache[t];
  BITMAP* image = metaImages ? metaImages->retrieveTerrainImage(t) : nullptr;
  int value = 0;
  if (image && image->w > 0 && image->h > 0) {
    const int d = bitmap_color_depth(image), c = getpixel(image, image->w / 2, image->h / 2);
    value = (getr_depth(d, c) << 16) | (getg_depth(d, c) << 8) | getb_depth(d, c);
  }
  rgbCache[t] = value;
  return value;
}

int cMinimap::calColor(int t)
{
  const int v = terrainRGB(t);
  return makecol(v >> 16, (v >> 8) & 255, v & 255);
}

void cMinimap::convertColours(int depth)
{
  const int kinds = metaList ? metaList->retrieveMaxTerrains() : 0;
  depthColours.assign(kinds > 0 ? kinds : 0, 0);
  for (int t = 0; t < kinds; ++t) {
    const int v = terrainRGB(t);
    depthColours[t] = makecol_depth(depth, v >> 16, (v >> 8) & 255, v & 255);
  }
  coloursDepth = depth;
}
