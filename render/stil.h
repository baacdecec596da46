#ifndef KORVANE_RENDER_STIL_H
#define KORVANE_RENDER_STIL_H
// The title screen's cloud texture: a midpoint-displacement fractal in shades of red.
#include <vector>

struct BITMAP;

// One texture's height grid and the subdivision that fills it. The values keep what the last
// build left; each build replaces the grid.
class cCloudTexture {
public:
  // Fills the grid for a width x height texture (both at least 1); the samples lie about
  // 128 +- the texture size. type 0 makes opposite edges equal, so the texture tiles.
  void build(int width, int height, int type);
  // Refines the grid cell with corner rows r1, r2 and corner columns c1, c2 (inclusive).
  void cs(int r1, int c1, int r2, int c2);
  // A new 32-bit bitmap of the grid without its last row and column (owned by the caller):
  // red 0..255, green and blue 0.
  BITMAP* image() const;

  int the_type = 0;      // 0: opposite edges of the grid equal, so the texture tiles
  int x_max = 0;         // grid width in samples: texture width + 1
  int y_max = 0;         // grid height in samples: texture height + 1
  int last_line = 0;     // index of the first sample of the grid's last row
  std::vector<short> b;  // x_max * y_max samples, row-major; -10000 marks one not yet set

private:
  short& sample(int row, int col) { return b[row * x_max + col]; }
  short sample(int row, int col) const { return b[row * x_max + col]; }
  bool setOnce(int row, int col, int value);
  int mean(int ra, int ca, int rb, int cb) const;
  void splitColumns(int r1, int c1, int r2, int c2, int mc);
  void splitRows(int r1, int c1, int r2, int c2, int mr);
};

// A new 32-bit width x height bitmap (owned by the caller): red 0..255, green and blue 0.
// type 0 makes it tile seamlessly. Uses random() without seeding it.
BITMAP* still_tarvix(int width, int height, int type);

#endif
