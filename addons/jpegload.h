#ifndef KORVANE_ADDONS_JPEGLOAD_H
#define KORVANE_ADDONS_JPEGLOAD_H
// JPEG images as Allegro bitmaps, decoded by libjpeg.
struct BITMAP;
struct RGB;

// Reads a JPEG from a plain file or from a datafile object ("file.dat#name") into a new
// bitmap of the current colour depth, owned by the caller. `palette` (may be null) receives
// a 3-3-2 palette for 8-bit use. Null when the file is missing or not a readable JPEG.
BITMAP* load_jpeg(const char* path, RGB* palette);

#endif
