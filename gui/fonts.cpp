#include "gui/fonts.h"

#include <allegro.h>

#include "addons/ttffont.h"

FONT* currentfont = nullptr;

FONT* defaultFont() { return currentfont ? currentfont : font; }

FONT* loadTimesOrDefault(int points)
{
  if (!exists("times.ttf") || points < 1) return defaultFont();
  FONT* loaded = load_ttf_font("times.ttf", points, 1);
  return loaded ? loaded : defaultFont();
}

void releaseFont(FONT* f)
{
  if (f && f != currentfont && f != font) destroy_font(f);
}
