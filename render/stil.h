#ifndef KORVANE_RENDER_STIL_H
#define KORVANE_RENDER_STIL_H
// The title screen's cloud texture: a midpoint-displacement fractal in shades of red.
struct BITMAP;

// State shared by the grid builder and cs; the globals keep their last values after a call.
extern int the_type;   // 0: opposite edges of the grid equal, so the texture tiles
extern int x_max;      // grid width in samples: texture width + 1
extern int y_max;      // grid height in samples: texture height + 1
extern int last_line;  // index of the first sample of the grid's last row
extern short* b;       // x_max * y_max samples, row-major; -10000 marks one not yet set

// A new 32-bit width x height bitmap (owned by the caller): red 0..255, green and blue 0.
// type 0 makes it tile seamlessly. Uses random() without seeding it.
BITMAP* still_tarvix(int width, int height, int type);

// Refines the grid cell with corner rows r1, r2 and corner columns c1, c2 (inclusive).
void cs(int r1, int c1, int r2, int c2);

// Allocates and fills the height grid for a width x height texture into `b`, setting the
// globals; the samples lie about 128 +- the texture size. Free with freeCloudGrid.
void buildCloudGrid(int width, int height, int type);
void freeCloudGrid();

#endif
