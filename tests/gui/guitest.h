#ifndef KORVANE_TESTS_GUI_GUITEST_H
#define KORVANE_TESTS_GUI_GUITEST_H
// What the widget tests share. Widgets are drawn into memory bitmaps and driven with
// synthetic mouse readings, so most tests need no display; those that need a screen skip
// without one.
#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "gui/mouse.h"

// Allegro with the X11 system when a display is there, else without one (memory bitmaps,
// no screen, keyboard or mouse); colours in 32 bits. False when neither starts.
inline bool startAllegro()
{
  static const bool started = [] {
    const bool display =
        getenv("DISPLAY") && install_allegro(SYSTEM_AUTODETECT, &errno, atexit) == 0;
    if (!display && install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
    set_color_depth(32);
    return true;
  }();
  return started;
}

// A windowed screen of this depth and size, with keyboard and mouse; false without a display.
inline bool openScreen(int depth = 32, int w = 640, int h = 480)
{
  if (!startAllegro() || system_driver->id == SYSTEM_NONE) return false;
  static const bool input = install_keyboard() == 0 && install_mouse() >= 0;
  set_color_depth(depth);
  return input && set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0) == 0;
}

// A reading at (x, y) with these buttons held (not from the driver: no latch).
inline cMouse at(int x, int y, int buttons = 0) { return cMouse(cPoint(x, y), buttons); }
// A reading taken after the pointer left the window: Allegro keeps the last position.
inline cMouse leftWindowAt(int x, int y, int buttons = 0)
{
  cMouse m(cPoint(x, y), buttons);
  m.inWindow = false;
  return m;
}

// The pixel of a 32-bit (or other depth) bitmap as packed 24-bit RGB, for comparisons.
inline int rgbAt(BITMAP* b, int x, int y)
{
  const int c = getpixel(b, x, y);
  const int d = bitmap_color_depth(b);
  return (getr_depth(d, c) << 16) | (getg_depth(d, c) << 8) | getb_depth(d, c);
}
constexpr int rgb(int r, int g, int b) { return (r << 16) | (g << 8) | b; }

// A 32-bit memory bitmap destroyed with the object.
class cScratch {
public:
  cScratch(int w, int h, int depth = 32) : bmp(create_bitmap_ex(depth, w, h)) { clear_bitmap(bmp); }
  ~cScratch() { destroy_bitmap(bmp); }
  cScratch(const cScratch&) = delete;
  cScratch& operator=(const cScratch&) = delete;
  operator BITMAP*() const { return bmp; }
  BITMAP* bmp;
};

#endif
