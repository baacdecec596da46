#include "render/isoview.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>

#include "render/catalogueimages.h"
#include "render/viewgeometry.h"
#include "world/host.h"
#include "world/metadatabase.h"

namespace {

int colourFor(BITMAP* target, int r, int g, int b)
{
  return makecol_depth(bitmap_color_depth(target), r, g, b);
}

// The anchor (bottom corner) of the footprint tile nearest the viewer.
cPoint farAnchor(const cBaseObject& o, cPoint startPos, int zoom)
{
  const cIsoPoint dim = o.myDim();
  const cIsoPoint far(o.myPosition().x + dim.x - 1, o.myPosition().y + dim.y - 1);
  return far.convertTo2DScaled(startPos, zoom);
}

bool validObject(int type) { return type > 0 && type < metaList->retrieveMaxObjects(); }
bool validUnit(int type) { return type > 0 && type < metaList->retrieveMaxUnits(); }

// The culling of selection marks: the object's footprint box below and right of P.
bool markVisible(BITMAP* target, cPoint P, cIsoPoint dim, int K)
{
  const int depth = ((dim.x + dim.y) * K) / 2;
  return P.x < target->w + K * dim.y && P.y < target->h + depth && P.x + K * dim.x > 0 &&
         P.y + depth > 0;
}

}  // namespace

cIsoView::cIsoView(cPoint mapSize)
    : cGamePlayMap(mapSize), mapSize(mapSize), startPos(SCREEN_W / 2, 5)
{
  hostLog("Initing cIsoView\nMap has maxpos %ix%i\n", mapSize.x, mapSize.y);
}

cIsoPoint cIsoView::checkPos(cPoint screen) const
{
  cIsoPoint tile;
  tile.set2DPosScaled(screen - startPos, zoom);
  return tile;
}

cBaseObject* cIsoView::getSelection(cPoint screen) const
{
  return cPlayerMap::getSelection(checkPos(screen).toPoint());
}

cBaseObject* cIsoView::addSelection(cPoint screen)
{
  return cPlayerMap::addSelection(checkPos(screen).toPoint());
}

cRect cIsoView::checkPosSelection(cPoint screen) const
{
  const cBaseObject* o = getSelection(screen);
  return o ? o->toRectArea() : cRect();
}

void cIsoView::drawMe(BITMAP* target)
{
  for (int layer : {0, 1, 3, 4}) drawRawLayer(target, layer);
}

void cIsoView::drawRawLayer(BITMAP* target, int layer)
{
  if (!target) return;
  // Clicks are resolved through these numbers, with or without pictures to draw.
  if (layer == 1 || layer == 2) renumberOccupancy(*this);
  if (!metaList || !metaImages) return;
  switch (layer) {
    case 0: drawTerrain(target); break;
    case 1:
    case 2: drawObjects(target); break;
    case 3: drawPreview(target); break;
    case 4: drawSelection(target); break;
    default: break;
  }
}

void cIsoView::drawTerrain(BITMAP* target)
{
  const int K = cIsoPoint::getXConst(zoom);
  const int kinds = metaList->retrieveMaxTerrains();
  const cMapLayer& terrain = *getLayer(LAYER_TERRAIN);
  for (int y = 0; y < mapSize.y; ++y) {
    for (int x = 0; x < mapSize.x; ++x) {
      const int t = terrain.get(cPoint(x, y));
      if (t <= 0 || t >= kinds) continue;
      const cPoint P = cIsoPoint(x, y).convertTo2DScaled(startPos, zoom);
      if (P.x >= target->w + K || P.y >= target->h + K || P.x + K <= 0 || P.y + K <= 0) continue;
      BITMAP* image = metaImages->retrieveTerrainImage(t, zoom);
      if (image) drawSprite(target, image, P.x - (image->w - K), P.y - image->h);
    }
  }
}

void cIsoView::drawObjects(BITMAP* target)
{
  const int K = cIsoPoint::getXConst(zoom);
  cObjectListNode* b = buildings->getFirstNode();
  cObjectListNode* u = units->getFirstNode();
  while (b || u) {
    // A unit goes first when the building stands in front of its tile.
    const bool unitFirst = !b || (u && b->myData()->isIsoFront(u->myData()->myPosition()));
    if (unitFirst) {
      drawMeUnit(target, static_cast<cBaseUnit*>(u->myData()), K);
      u = u->getNext();
    } else {
      drawMeBuilding(target, b->myData(), K);
      b = b->getNext();
    }
  }
}

void cIsoView::drawMeBuilding(BITMAP* target, cBaseObject* o, int K)
{
  if (!validObject(o->myID())) return;
  const cIsoPoint dim = o->myDim();
  const cPoint P = farAnchor(*o, startPos, zoom);
  if (P.x >= target->w + K * dim.y || P.y - ((dim.x + dim.y) / 2 + dim.z) * K >= target->h ||
      P.x + K * dim.x <= 0 || P.y + ((dim.x + dim.y) / 2) * K <= 0)
    return;
  BITMAP* image = metaImages->retrieveObjectImage(o->myID(), zoom);
  if (!image) return;
  drawOwnerMark(target, *o, K);
  const int x = P.x - (image->w - dim.x * K), y = P.y - image->h;
  if (o->isSelected())
    drawTinted(target, image, x, y, 80, 37, 160, 96);
  else
    drawSprite(target, image, x, y);
}

void cIsoView::drawMeUnit(BITMAP* target, cBaseUnit* u, int K)
{
  if (!validUnit(u->myID())) return;
  const cIsoPoint dim = u->myDim();
  const cPoint P = farAnchor(*u, startPos, zoom);
  if (P.x >= target->w + K * dim.y || P.y - ((dim.x + dim.y) / 2 + dim.z) * K >= target->h ||
      P.x + K * dim.x <= 0 || P.y + ((dim.x + dim.y) * K) / 2 <= 0)
    return;
  BITMAP* image = metaImages->retrieveUnitImage(u->myID(), zoom);
  if (!image) return;
  drawOwnerMark(target, *u, K);
  drawSprite(target, image, P.x - (image->w - dim.x * K), P.y - image->h);
}

int cIsoView::ownerColour(BITMAP* target, const cBaseObject& o) const
{
  const int v = ownerColourRGB(ownerColourIndex(o.getPlayerID(), localPlayer));
  return colourFor(target, v >> 16, (v >> 8) & 255, v & 255);
}

// The footprint's diamond, two pixels thick, under the sprite: the sprite covers its middle
// and its rim shows around the base.
void cIsoView::drawOwnerMark(BITMAP* target, const cBaseObject& o, int K)
{
  const cPoint p = o.myPosition();
  const int dx = std::max(1, o.myDim().x), dy = std::max(1, o.myDim().y);
  auto anchor = [&](int x, int y) { return cIsoPoint(x, y).convertTo2DScaled(startPos, zoom); };
  const cPoint top = anchor(p.x, p.y) - cPoint(0, K);
  const cPoint bottom = anchor(p.x + dx - 1, p.y + dy - 1);
  const cPoint left = anchor(p.x + dx - 1, p.y) - cPoint(K, K / 2);
  const cPoint right = anchor(p.x, p.y + dy - 1) + cPoint(K, -K / 2);
  const int c = ownerColour(target, o);
  for (int t = 0; t < 2; ++t) {
    line(target, top.x, top.y + t, right.x - 2 * t, right.y, c);
    line(target, right.x - 2 * t, right.y, bottom.x, bottom.y - t, c);
    line(target, bottom.x, bottom.y - t, left.x + 2 * t, left.y, c);
    line(target, left.x + 2 * t, left.y, top.x, top.y + t, c);
  }
}

void cIsoView::drawPreview(BITMAP* target)
{
  const cBaseObject* o = getToBuild();
  // The type is checked before the catalogue is asked for its size.
  if (!o || !validObject(o->myID())) return;
  const int K = cIsoPoint::getXConst(zoom);
  const cIsoPoint size = metaList->retrieveObjectSize(o->myID());
  const cPoint p = o->myPosition();
  const cPoint P = cIsoPoint(p.x + size.x - 1, p.y + size.y - 1).convertTo2DScaled(startPos, zoom);
  if (P.x >= target->w + K || P.y >= target->h + K || P.x <= 0 || P.y <= 0) return;
  BITMAP* image = metaImages->retrieveObjectImage(o->myID(), zoom);
  if (!image) return;
  const int x = P.x - (image->w - size.x * K), y = P.y - image->h;
  if (isAvailObjects(p, size) && isAvailUnits(p, size))
    drawTinted(target, image, x, y, 32, 160, 32, 128);
  else
    drawTinted(target, image, x, y, 160, 32, 32, 128);
}

void cIsoView::drawSelection(BITMAP* target)
{
  for (cObjectListNode* n = buildings->getFirstNode(); n; n = n->getNext()) {
    cBaseObject* o = n->myData();
    if (!validObject(o->myID())) continue;
    if (o->isSelected())
      drawSelectionMark(target, o, metaImages->retrieveObjectImage(o->myID()),
                        colourFor(target, 207, 111, 191));
    else
      drawDamage(target, o, metaImages->retrieveObjectImage(o->myID()));
  }
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext()) {
    cBaseObject* o = n->myData();
    if (!validUnit(o->myID())) continue;
    if (o->isSelected())
      drawSelectionMark(target, o, metaImages->retrieveUnitImage(o->myID()),
                        colourFor(target, 255, 255, 255));
    else
      drawDamage(target, o, metaImages->retrieveUnitImage(o->myID()));
  }
  drawFlashes(target);
}

// Where the marks over an object's picture go: false when there is no picture or the object
// lies off the target.
bool cIsoView::placeMark(BITMAP* target, const cBaseObject& o, BITMAP* reference, cPoint& topLeft,
                         cPoint& size) const
{
  const int K = cIsoPoint::getXConst(zoom);
  const cIsoPoint dim = o.myDim();
  const cPoint P = farAnchor(o, startPos, zoom);
  if (!reference || !markVisible(target, P, dim, K)) return false;
  size = applyScaling(cPoint(reference->w + 1, reference->h + 1));
  topLeft = cPoint(P.x - (size.x - dim.x * K), P.y - size.y);
  return true;
}

// Unselected objects show their health bar only once damaged, framed in the owner's colour.
void cIsoView::drawDamage(BITMAP* target, cBaseObject* o, BITMAP* reference)
{
  if (o->getHealth() >= o->getFullHealth()) return;
  cPoint topLeft, size;
  if (!placeMark(target, *o, reference, topLeft, size)) return;
  drawHealthBar(target, topLeft, size, selectBracket(size, SCREEN_W, zoom).b, o,
                ownerColour(target, *o));
}

// A bright disc over the blast's reach (radius 0 still shows as half a tile) with a white
// core.
void cIsoView::drawFlashes(BITMAP* target)
{
  const int K = cIsoPoint::getXConst(zoom);
  const int outer = colourFor(target, 255, 160, 32), core = colourFor(target, 255, 250, 220);
  for (const cBlastMark& f : flashes) {
    const int cells = std::clamp(f.size, 0, 16);
    const cPoint c =
        cIsoPoint(f.centre.x, f.centre.y).convertTo2DScaled(startPos, zoom) - cPoint(0, K / 2);
    const int r = std::max(2, K / 2 + cells * K);
    ellipsefill(target, c.x, c.y, r, r / 2, outer);
    ellipsefill(target, c.x, c.y, r / 2, r / 4, core);
  }
}

void cIsoView::drawSelectionMark(BITMAP* target, cBaseObject* o, BITMAP* reference, int colour)
{
  cPoint topLeft, size;
  if (!placeMark(target, *o, reference, topLeft, size)) return;
  drawMeSelectBorder(target, topLeft, size, o, colour);
}

cPoint cIsoView::applyScaling(cPoint s) const { return scaleToZoom(s, SCREEN_W, zoom); }

void cIsoView::drawMeSelectBorder(BITMAP* target, cPoint T, cPoint S, cBaseObject* o, int colour)
{
  if (drawLog) {
    cDrawCall call;
    call.kind = cDrawCall::MARK;
    call.at = T;
    call.size = S;
    call.object = o;
    call.colour = colour;
    drawLog->push_back(call);
  }
  const cBracket k = selectBracket(S, SCREEN_W, zoom);
  const int textColour = colourFor(target, 240, 255, 240);
  textout_centre_ex(target, font, o->getDescription(), T.x + S.x / 2, T.y + S.y, textColour, -1);
  char owner[24];  // any 64-bit number fits
  std::snprintf(owner, sizeof owner, "%li", o->getPlayerID());
  textout_ex(target, font, owner, T.x, T.y - 5, textColour, -1);

  const int left = T.x + k.a, right = T.x + S.x - k.a, top = T.y + k.b, bottom = T.y + S.y - k.b;
  line(target, left, top, left + k.d, top, colour);
  line(target, left, top, left, top + k.d, colour);
  line(target, left, bottom, left + k.d, bottom, colour);
  line(target, left, bottom, left, bottom - k.d, colour);
  line(target, right, top, right, top + k.d, colour);
  line(target, right, top, right - k.d, top, colour);
  line(target, right, bottom, right - k.d, bottom, colour);
  line(target, right, bottom, right, bottom - k.d, colour);
  drawHealthBar(target, T, S, k.b, o, colour);
}

void cIsoView::drawHealthBar(BITMAP* target, cPoint T, cPoint S, int inset, cBaseObject* o,
                             int colour)
{
  const cHealthBar bar = healthBar(o->getHealth(), o->getFullHealth());
  if (!bar.shown) return;
  static const int fills[4][3] = {{255, 0, 0}, {255, 128, 0}, {255, 255, 0}, {0, 255, 0}};
  const int* fill = fills[bar.colour];
  const int right = T.x + S.x;
  rect(target, right - bar.length, T.y, right, T.y + inset - 2, colour);
  // An empty bar gets no fill: rectfill would sort the corners and draw two columns.
  if (bar.fill > 0)
    rectfill(target, right - bar.length + 1, T.y + 1, right - bar.length + bar.fill,
             T.y + inset - 3, colourFor(target, fill[0], fill[1], fill[2]));
}

void cIsoView::drawSprite(BITMAP* target, BITMAP* image, int x, int y)
{
  if (drawLog) {
    cDrawCall call;
    call.image = image;
    call.at = cPoint(x, y);
    drawLog->push_back(call);
  }
  draw_sprite(target, image, x, y);
}

void cIsoView::drawTinted(BITMAP* target, BITMAP* image, int x, int y, int r, int g, int b, int a)
{
  if (drawLog) {
    cDrawCall call;
    call.kind = cDrawCall::LIT;
    call.image = image;
    call.at = cPoint(x, y);
    call.r = r, call.g = g, call.b = b, call.a = a;
    drawLog->push_back(call);
  }
  set_trans_blender(r, g, b, a);
  draw_lit_sprite(target, image, x, y, 128);
}
