#ifndef KORVANE_RENDER_VIEWGEOMETRY_H
#define KORVANE_RENDER_VIEWGEOMETRY_H
// The arithmetic of the map view, the minimap and the selection marks, apart from any
// bitmap or input device so that it can be checked without a display. Pixels throughout;
// the screen size is passed in. Tile sizes come from cIsoPoint::getXConst.
#include "world/pointutil.h"

// Edge scrolling step for a pointer on `screen` (already shrunk when edges are ignored):
// 0 at 20 or more pixels from every edge, 4 at 10-19, 8 at 5-9, 16 at 0-4.
int edgeScrollStep(cPoint pointer, const cRect& screen);
// The offset after one edge-scrolling step. The pointer must lie on `screen` with no button
// held. Each limit is tested before its step, so the last step may overshoot by < one step.
cPoint edgeScroll(cPoint pointer, const cRect& screen, cPoint offset, const cRect& maxOffset);

// The pointer as edge scrolling should see it: inside `quiet` (the bottom panel), an axis
// scrolls only within 2 pixels of the screen's edge, so the other axes are moved to the
// screen's middle (where nothing scrolls).
cPoint quietPointer(cPoint pointer, const cRect& screen, const cRect& quiet);

// Pixel size of a whole map of mapSize tiles at a zoom: ((mx + my)K, ((mx + my)K) / 2).
cPoint viewPortSize(cPoint mapSize, int zoom);
// Limits for the negated scroll offset (half-open) of a view viewWidth wide; the vertical
// limits use the screen height.
cRect scrollLimits(int viewWidth, cPoint viewPort, int screenHeight);
// The offset moved so that its negation lies inside the limits; an axis whose limits are
// inverted (the map narrower than the view) is centred between them.
cPoint clampIntoLimits(cPoint offset, const cRect& limits);
// The offset that brings the top corner of the tile under the view's centre at the old
// zoom to the centre at the new one. startPos is the view's anchor of tile (0, 0).
cPoint zoomCentreOffset(cPoint viewSize, cPoint startPos, int oldZoom, int newZoom);

// Minimap pixels per tile: the larger ratio of the two axes, 1 when that is 0. A map
// without extent has no scale: 0.
double minimapScale(cPoint minimapSize, cPoint mapSize);
// The minimap is transposed: map x runs down, map y to the right. Offsets from its corner.
cPoint minimapPixel(cPoint tile, double scale);
cPoint minimapTileAt(cPoint pixel, double scale);

// The corner brackets of a selection mark: insets a (x), b (y) and bracket length d.
struct cBracket {
  int a = 0;
  int b = 0;
  int d = 0;
};
cBracket selectBracket(cPoint size, int screenWidth, int zoom);

// A health bar: length in pixels, filled part (0..length), colour 0 red, 1 orange,
// 2 yellow, 3 green. shown is false when the full health is 0 or less.
struct cHealthBar {
  bool shown = false;
  int length = 0;
  int fill = 0;
  int colour = 0;
};
cHealthBar healthBar(int health, int fullHealth);

// Owner colours, packed 0xRRGGBB. Index 0 marks the local player's objects; every other
// owner takes one of the other entries (owners whose IDs differ by a multiple of 9 share).
constexpr int ownerPaletteSize = 10;
int ownerColourIndex(long owner, long localPlayer);
int ownerColourRGB(int index);  // 0 .. ownerPaletteSize - 1; others read as index 0

// Scaled size of a reference image size at a zoom: s * zoom * screenWidth / 8192 + (1, 1).
cPoint scaleToZoom(cPoint size, int screenWidth, int zoom);

#endif
