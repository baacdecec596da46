#ifndef KORVANE_RENDER_ISOVIEWRECT_H
#define KORVANE_RENDER_ISOVIEWRECT_H
// The viewport: the screen rectangle the map is drawn in, its scroll offset and limits, an
// off-screen buffer of its size and the map view (which is also the game map). Pixels
// throughout. Single-threaded (the main loop).
#include "render/isoview.h"
#include "world/pointutil.h"

struct BITMAP;

// Scrolling by resting the pointer near a screen edge. The offset is what the map is moved
// by; its negation must lie in maxOffset (half-open) for setOffset to take it.
class cHotSpotRect {
public:
  cHotSpotRect() = default;
  cHotSpotRect(cRect rect, cRect maxOffset) : rect(rect), maxOffset(maxOffset) {}

  cPoint getOffset() const { return offset; }
  void setOffset(cPoint p);                      // refused silently when -p lies outside the limits
  void setMaxOffset(cRect r) { maxOffset = r; }  // the offset is not clamped
  cRect getMaxOffset() const { return maxOffset; }
  void ignoreEdges() { edgesIgnored = true; }
  // Over this area (the bottom panel) only the screen's last 2 pixels scroll.
  void setQuietArea(cRect r) { quietArea = r; }
  // One step of edge scrolling from a fresh mouse reading; answers the offset after it.
  // Nothing moves while a button is held, the pointer is off the window, or the program
  // is switched out.
  cPoint check();

  // The program's display-switch callbacks report here whether it is switched out;
  // watchDisplaySwitch installs callbacks of its own that do so.
  static void setSwitchedOut(bool out) { switchedOut = out; }
  static bool watchDisplaySwitch();

protected:
  cRect rect;
  cRect maxOffset;
  cPoint offset;
  bool edgesIgnored = false;
  cRect quietArea;  // empty: none

private:
  static bool switchedOut;
};

class cIsoViewRect : public cHotSpotRect {
public:
  explicit cIsoViewRect(cPoint mapSize);  // a map of mapSize tiles; needs a graphics mode
  ~cIsoViewRect();
  cIsoViewRect(const cIsoViewRect&) = delete;
  cIsoViewRect& operator=(const cIsoViewRect&) = delete;

  cIsoView& getView() { return view; }
  const cIsoView& getView() const { return view; }

  // A new cleared buffer of r's size. False, keeping the old bounds and buffer, when r has
  // no area, is too large for one bitmap, or the bitmap cannot be made.
  bool setBounds(cRect r);
  cRect getBounds() const { return rect; }
  void reCenter(cPoint p);  // ignored when p lies outside the limits
  void centreOn(cPoint p);  // the same offset brought into the limits first
  void setZoom(int zoom);   // keeps the tile at the view's centre; the offset stays in limits
  bool checkScroll();       // true when the offset moved since the last drawing
  void externalScroll(cPoint delta);
  cPoint getViewPortSize() const;  // the whole map in pixels at the current zoom

  // Draws the map into the buffer and copies it to target at the bounds' corner. Without
  // bounds yet, the whole screen becomes the bounds.
  void draw(BITMAP* target);
  void redraw(BITMAP* target) { draw(target); }
  void redrawv2(BITMAP* target, cRect) { draw(target); }
  void redrawquick(BITMAP* target);           // copies the last picture only
  void drawLayer(BITMAP* target, int layer);  // one layer straight into target, no clearing

private:
  bool ensureBuffer();
  void updateLimits();
  void placeView();
  BITMAP* layerTarget(BITMAP* target);
  void dropLayerTarget();

  cIsoView view;
  bool bufferValid = false;
  BITMAP* buffer = nullptr;  // owned
  cPoint drawnOffset;
  // drawLayer's window on its last target (owned) and what it was made for.
  BITMAP* layerView = nullptr;
  BITMAP* layerParent = nullptr;
  void* layerParentPixels = nullptr;
};

#endif
