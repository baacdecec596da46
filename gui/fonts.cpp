#include "gui/fonts.h"

#include <allegro.h>

#include "addons/ttffont.h"
#include "world/host.h"

FONT* currentfont = nullptr;

FONT* defaultFont() { return currentfont ? currentfont : font; }

FONT* loadTimesOrDefault(int points)
{
  const std::string times = hostDataFile("times.ttf");
  if (!exists(times.c_str()) || points < 1) return defaultFont();
  FONT* loaded = load_ttf_font(times.c_str(), points, 1);
  return loaded ? loaded : defaultFont();
}

void releaseFont(FONT* f)
{
  if (f && f != currentfont && f != font) destroy_font(f);
}
