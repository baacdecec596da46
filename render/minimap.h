#ifndef KORVANE_RENDER_MINIMAP_H
#define KORVANE_RENDER_MINIMAP_H
// The whole map from above in a corner of the bottom panel, one cell per tile and
// transposed (map x runs down, map y to the right): buildings blue, units white, terrain in
// the colour of its image's centre, and the main view's outline in red. A button held over
// it reports the tile under the pointer.
#include <vector>

#include "gui/guielement.h"
#include "world/map.h"
#include "world/maplayer.h"

class cMinimap : public cGUIElement {
public:
  // The three layers are borrowed and must outlive the minimap; the map size is the object
  // layer's. Terrain colours come from metaList's reference images.
  cMinimap(cPoint topLeft, cPoint bottomRight, cMapLayer* objects, cMapLayer* units,
           cMapLayer* terrain);
  ~cMinimap() override = default;

  // The main view's zoom, anchor of tile (0, 0) and size, all in the view's own pixels.
  void setState(int zoom, cPoint viewStart, cPoint viewSize);
  // With a map (borrowed, holding the layers above), objects show in their owners' colours
  // as seen by localPlayer; without one, buildings blue and units white.
  void setOwners(const cMap* map, long localPlayer);

  void draw(BITMAP* target) override;
  int doMe() override;                                // reads the mouse; returns 0
  void doMe(const cMouse& m);                         // the same with a given reading
  int myMessage() const override { return message; }  // 1 while a button is held over it
  void clearMessage() override {}
  void handleKey(int) override {}
  cPoint lastClicked() const { return lastClick; }

  // The colour, in the current depth, of a terrain kind: the centre pixel of its image,
  // black for kinds outside the catalogue or without an image.
  int calColor(int terrainType);

private:
  void drawCells(BITMAP* target, double scale);
  void drawOutline(BITMAP* target, double scale);
  void drawOwners(BITMAP* target, double scale);
  int terrainRGB(int terrainType);  // 0xRRGGBB, looked up once per kind
  void convertColours(int depth);

  cPoint lastClick;
  cPoint mapSize;
  cMapLayer* objectLayer;
  cMapLayer* unitLayer;
  cMapLayer* terrainLayer;
  const cMap* ownersMap = nullptr;
  long localPlayer = 0;
  double scale = 0;
  int viewZoom = 0;
  cPoint viewStart;
  cPoint viewSize;
  std::vector<int> rgbCache;      // per kind; -1 until looked up
  std::vector<int> depthColours;  // rgbCache in coloursDepth
  int coloursDepth = 0;
};

#endif
