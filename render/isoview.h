#ifndef KORVANE_RENDER_ISOVIEW_H
#define KORVANE_RENDER_ISOVIEW_H
// The client's game map made visible: it knows where tile (0, 0) lies on the target and at
// which zoom the map is shown, turns view pixels into tiles, and draws the map in layers:
// 0 terrain, 1 buildings and units in painter's order (2 the same), 3 the build preview,
// 4 the selection marks. Images come from the global catalogue metaList and its scaled
// copies metaImages; without them nothing is drawn. Single-threaded (the main loop).
#include <vector>

#include "sim/gameplaymap.h"
#include "world/pointutil.h"

struct BITMAP;

// One drawing call of a picture, recorded when a draw log is attached: benchmarks replay
// them to time the drawing without the walk over the map.
struct cDrawCall {
  enum eKind { MASKED, LIT, MARK } kind = MASKED;
  BITMAP* image = nullptr;         // MASKED, LIT
  cPoint at;                       // top-left corner
  cPoint size;                     // MARK
  int r = 0, g = 0, b = 0, a = 0;  // LIT: the blender
  cBaseObject* object = nullptr;   // MARK
  int colour = 0;                  // MARK
};

// The identity written at the top of a map export.
struct cProgramIdentity {
  const char* name;     // korvaneName
  const char* version;  // isoVersion
  const char* date;     // compileDate
};

class cIsoView : public cGamePlayMap {
public:
  explicit cIsoView(cPoint mapSize);  // logs "Initing cIsoView ..."
  ~cIsoView() override = default;

  // Tiles that the terrain drawing and the export walk (x columns, y rows).
  void setMapSize(cPoint size) { mapSize = size; }
  cPoint getMapSize() const { return mapSize; }
  // Pixel position in the target of tile (0, 0)'s anchor.
  void setStartPos(cPoint p) { startPos = p; }
  cPoint getStartPos() const { return startPos; }
  void setZoom(int z) { zoom = z; }
  int getZoom() const { return zoom; }

  // The tile under a point in the view's own pixels.
  cIsoPoint checkPos(cPoint screen) const;
  void setToBuild(cPoint tile, int type) { cMap::setToBuild(tile, type); }
  void clearToBuild() { cMap::clearToBuild(); }
  // These take view pixels, not tiles.
  cBaseObject* getSelection(cPoint screen) const;
  cBaseObject* addSelection(cPoint screen);
  void addSelection(cBaseObject* o) { cPlayerMap::addSelection(o); }
  // The footprint (tiles) of the object under the point; all zero when none.
  cRect checkPosSelection(cPoint screen) const;

  void drawMe(BITMAP* target);                   // layers 0, 1, 3, 4
  void drawRawLayer(BITMAP* target, int layer);  // other numbers than 0-4 draw nothing
  void drawMeBuilding(BITMAP* target, cBaseObject* b, int K);
  void drawMeUnit(BITMAP* target, cBaseUnit* u, int K);
  void drawMeSelectBorder(BITMAP* target, cPoint topLeft, cPoint size, cBaseObject* o, int colour);
  cPoint applyScaling(cPoint s) const;

  void testMyMap() const { testMap(); }
  // Writes the map as text (the "map1" format); false when the file cannot be opened,
  // written or closed.
  bool saveMap(const char* fileName, const cProgramIdentity& program) const;

  // Objects of this owner take owner colour 0 (the player at this client).
  void setLocalPlayer(long id) { localPlayer = id; }
  long getLocalPlayer() const { return localPlayer; }
  // Blasts to show as flashes in layer 4 (cell and radius in cells); replaced, not merged.
  void setFlashes(const std::vector<cBlastMark>& f) { flashes = f; }

  // Every picture drawn from now on is appended to log (not owned; null stops recording).
  void setDrawLog(std::vector<cDrawCall>* log) { drawLog = log; }

private:
  void drawTerrain(BITMAP* target);
  void drawObjects(BITMAP* target);
  void drawPreview(BITMAP* target);
  void drawSelection(BITMAP* target);
  void drawSelectionMark(BITMAP* target, cBaseObject* o, BITMAP* reference, int colour);
  void drawHealthBar(BITMAP* target, cPoint topLeft, cPoint size, int inset, cBaseObject* o,
                     int colour);
  void drawOwnerMark(BITMAP* target, const cBaseObject& o, int K);
  void drawDamage(BITMAP* target, cBaseObject* o, BITMAP* reference);
  // Top left and size of the marks over an object's picture; false when none is drawn.
  bool placeMark(BITMAP* target, const cBaseObject& o, BITMAP* reference, cPoint& topLeft,
                 cPoint& size) const;
  void drawFlashes(BITMAP* target);
  int ownerColour(BITMAP* target, const cBaseObject& o) const;
  void drawSprite(BITMAP* target, BITMAP* image, int x, int y);
  // Lit with the blender (r, g, b, a) at lighting amount 128.
  void drawTinted(BITMAP* target, BITMAP* image, int x, int y, int r, int g, int b, int a);

  cPoint mapSize;
  cPoint startPos;
  int zoom = 11;
  long localPlayer = 0;
  std::vector<cBlastMark> flashes;
  std::vector<cDrawCall>* drawLog = nullptr;
};

#endif
