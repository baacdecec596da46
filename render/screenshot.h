#ifndef KORVANE_RENDER_SCREENSHOT_H
#define KORVANE_RENDER_SCREENSHOT_H
// Saving what is on a bitmap (usually a sub-bitmap of the screen) to an image file.
struct BITMAP;

// Saves `source` to `file` (format by extension, PNG included) from a 24-bit copy, so that
// a 32-bit screen does not come out fully transparent. Uses the current palette for 8-bit
// sources. Overwrites an existing file; false when it cannot be written.
bool save_screenshot(const char* file, BITMAP* source);

#endif
