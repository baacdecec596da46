#ifndef KORVANE_WORLD_MAPLAYER_H
#define KORVANE_WORLD_MAPLAYER_H
// One integer grid over the map, row-major: cell (x, y) is element y * width + x.
// Reads outside the grid answer 255 (the map edge counts as occupied); writes outside are
// ignored. A layer exclusively owns its cells.
#include "world/pointutil.h"

class cMapLayer {
public:
  cMapLayer() = default;  // invalid: size (0, 0), no cells
  // All cells 0. A size with a side <= 0, or too large to hold, gives an invalid layer.
  explicit cMapLayer(cPoint size);
  ~cMapLayer();
  cMapLayer(const cMapLayer& other);  // deep copy; usage starts at 0
  cMapLayer& operator=(const cMapLayer& other);
  cMapLayer& operator=(const cMapLayer* other);
  void copy(const cMapLayer* other);  // takes size and cells, not usage

  void clearArray();
  void place(cPoint p, int v);
  void place(long i, int v);
  int get(cPoint p) const;
  int get(long i) const;
  // a and b are opposite corners (half-open), not a corner and a size.
  void fill(cPoint a, cPoint b, int v);
  void fill(cRect r, int v);
  // Whether pos lies on the layer and every cell of the extent from it holds a value <= 0.
  bool isAvail(cPoint pos, cPoint extent) const;

  // Shared path layers only (heap-allocated): decrementUsage deletes the layer when the
  // count drops to 0 or below; the caller must drop its pointer then.
  void setUsage(int n) { usage = n; }
  int getUsage() const { return usage; }
  int decrementUsage();

  void testMap() const;  // dumps the cells to the log
  cPoint myMaxPos() const { return size; }
  bool isValid() const { return valid; }
  int cellCount() const { return count; }
  // Direct access for the searches: cellCount() elements, null when invalid.
  int* cellData() { return cells; }
  const int* cellData() const { return cells; }

private:
  void allocate(cPoint newSize);
  void release();

  cPoint size;
  int* cells = nullptr;
  int count = 0;  // width * height when valid, else 0
  int usage = 0;
  bool valid = false;
};

#endif
