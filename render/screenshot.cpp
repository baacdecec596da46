#include "render/screenshot.h"

#include <allegro.h>
#include <loadpng.h>

bool save_screenshot(const char* file, BITMAP* source)
{
  // A 32-bit bitmap is written to PNG with its (unused, zero) alpha byte, which every viewer
  // shows as fully transparent; 24 bits carry no alpha at all.
  BITMAP* copy = create_bitmap_ex(24, source->w, source->h);
  if (!copy) return false;
  blit(source, copy, 0, 0, 0, 0, source->w, source->h);
  PALETTE palette;
  get_palette(palette);
  register_png_file_type();
  const bool saved = save_bitmap(file, copy, palette) == 0;
  destroy_bitmap(copy);
  return saved;
}
