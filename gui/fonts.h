#ifndef KORVANE_GUI_FONTS_H
#define KORVANE_GUI_FONTS_H
// The game's default font and the optional TrueType font beside it.
struct FONT;

// Item 0 of tarvix.dat's fonts, set by the client at start-up; owned by the datafile.
// Until then (and in tests) null, which the widgets read as Allegro's built-in font.
extern FONT* currentfont;

// currentfont, or Allegro's built-in font while there is none.
FONT* defaultFont();

// "times.ttf" of the current directory at `points` (anti-aliased), or defaultFont() when
// the file is missing or cannot be read. Free the result with releaseFont.
FONT* loadTimesOrDefault(int points);
// Destroys a font from loadTimesOrDefault unless it is the default one.
void releaseFont(FONT* f);

#endif
