#include "render/viewgeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "world/metadatabase.h"

int edgeScrollStep(cPoint pointer, const cRect& screen)
{
  cRect far = screen, middle = screen, near = screen;
  far.inset(20, 20);
  middle.inset(10, 10);
  near.inset(5, 5);
  if (far.includes(pointer)) return 0;
  if (middle.includes(pointer)) return 4;
  if (near.includes(pointer)) return 8;
  return 16;
}

cPoint edgeScroll(cPoint pointer, const cRect& screen, cPoint offset, const cRect& maxOffset)
{
  const int step = edgeScrollStep(pointer, screen);
  if (step == 0) return offset;
  if (pointer.x > screen.right() - 25 && offset.x > -maxOffset.right()) offset.x -= step;
  if (pointer.x < screen.left() + 25 && offset.x < -maxOffset.left()) offset.x += step;
  if (pointer.y > screen.bottom() - 25 && offset.y > -maxOffset.bottom()) offset.y -= step;
  if (pointer.y < screen.top() + 25 && offset.y < -maxOffset.top()) offset.y += step;
  return offset;
}

cPoint viewPortSize(cPoint mapSize, int zoom)
{
  const cPoint a = cIsoPoint(0, mapSize.y).convertTo2DScaled(cPoint(), zoom);
  const cPoint b = cIsoPoint(mapSize.x, 0).convertTo2DScaled(cPoint(), zoom);
  const cPoint c = cIsoPoint(mapSize.x, mapSize.y).convertTo2DScaled(cPoint(), zoom);
  return cPoint(std::abs(a.x) + std::abs(b.x), c.y);
}

cRect scrollLimits(int viewWidth, cPoint viewPort, int screenHeight)
{
  return cRect(viewWidth / 2 - viewPort.x / 2, -(screenHeight / 2), viewPort.x / 2 - viewWidth / 2,
               viewPort.y - screenHeight / 2);
}

namespace {
// The value v moved into [low, high), or the middle of an empty range.
int clampAxis(int v, int low, int high)
{
  if (high <= low) return (low + high) / 2;
  return std::clamp(v, low, high - 1);
}
}  // namespace

cPoint clampIntoLimits(cPoint offset, const cRect& limits)
{
  return cPoint(-clampAxis(-offset.x, limits.left(), limits.right()),
                -clampAxis(-offset.y, limits.top(), limits.bottom()));
}

cPoint zoomCentreOffset(cPoint viewSize, cPoint startPos, int oldZoom, int newZoom)
{
  cIsoPoint centre;
  centre.set2DPosScaled(cPoint(viewSize.x / 2, viewSize.y / 2) - startPos, oldZoom);
  // One tile up and left: its anchor is the top corner of the centre tile's diamond.
  const cIsoPoint topCorner(centre.x - 1, centre.y - 1);
  return -topCorner.convertTo2DScaled(cPoint(0, -(viewSize.y / 2)), newZoom);
}

double minimapScale(cPoint minimapSize, cPoint mapSize)
{
  if (mapSize.x <= 0 || mapSize.y <= 0) return 0;
  const double scale =
      std::max(double(minimapSize.x) / mapSize.x, double(minimapSize.y) / mapSize.y);
  return scale > 0 ? scale : 1;
}

cPoint minimapPixel(cPoint tile, double scale) { return cPoint(tile.y * scale, tile.x * scale); }

cPoint minimapTileAt(cPoint pixel, double scale)
{
  if (scale <= 0) return cPoint();
  return cPoint(pixel.y / scale, pixel.x / scale);
}

cBracket selectBracket(cPoint size, int screenWidth, int zoom)
{
  const int scaled = screenWidth * zoom;
  int r = scaled > 0 ? (cMetaDatabase::getRes() * 8) / scaled : 1;
  if (r == 0) r = 1;
  cBracket k;
  k.a = size.x / r > 29 ? 7 : (size.x / r) / 4;
  k.b = size.y / r > 21 ? 5 : (size.y / r) / 4;
  k.d = 15 / r;
  if (size.x - 2 * (k.a + k.d) <= 0) k.d /= 2;
  if (size.y - 2 * (k.b + k.d) <= 0) k.d /= 2;
  return k;
}

cHealthBar healthBar(int health, int fullHealth)
{
  cHealthBar bar;
  if (fullHealth <= 0) return bar;
  bar.shown = true;
  bar.length = 3 * int(std::log(double(fullHealth) * 4096.0));
  // Heals received from other players are not capped at the full health.
  const std::int64_t fill = std::int64_t(health) * bar.length / fullHealth;
  bar.fill = int(std::clamp<std::int64_t>(fill, 0, bar.length));
  const int f = bar.fill, l = bar.length;
  bar.colour = 8 * f < l ? 0 : 4 * f < l ? 1 : 2 * f < l ? 2 : 3;
  return bar;
}

cPoint scaleToZoom(cPoint size, int screenWidth, int zoom)
{
  const std::int64_t scaled = std::int64_t(zoom) * screenWidth;
  const std::int64_t reference = std::int64_t(cMetaDatabase::getRes()) * 8;
  return cPoint(int(size.x * scaled / reference) + 1, int(size.y * scaled / reference) + 1);
}

namespace {
// Apart in hue and light, and each readable against grass, sand, water and stone.
constexpr int ownerPalette[ownerPaletteSize] = {0x30e040, 0xf03028, 0x3878ff, 0xffe020, 0xc050f0,
                                                0xff8c00, 0x00e0e0, 0xff80c0, 0xf0f0f0, 0x905020};
}  // namespace

int ownerColourIndex(long owner, long localPlayer)
{
  if (owner == localPlayer) return 0;
  // Others counted without the local player's own ID, so that IDs 0, 1, 2, ... around it
  // take distinct colours.
  const long long k = owner > localPlayer ? static_cast<long long>(owner) - 1 : owner;
  const long long others = ownerPaletteSize - 1;
  return 1 + int(((k % others) + others) % others);
}

int ownerColourRGB(int index)
{
  return ownerPalette[index >= 0 && index < ownerPaletteSize ? index : 0];
}

cPoint quietPointer(cPoint pointer, const cRect& screen, const cRect& quiet)
{
  if (quiet.isEmpty() || !quiet.includes(pointer)) return pointer;
  const cPoint middle((screen.left() + screen.right()) / 2, (screen.top() + screen.bottom()) / 2);
  const bool nearX = pointer.x < screen.left() + 2 || pointer.x >= screen.right() - 2;
  const bool nearY = pointer.y < screen.top() + 2 || pointer.y >= screen.bottom() - 2;
  return cPoint(nearX ? pointer.x : middle.x, nearY ? pointer.y : middle.y);
}
