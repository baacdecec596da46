#ifndef KORVANE_ADDONS_TTFFONT_H
#define KORVANE_ADDONS_TTFFONT_H
// TrueType fonts as Allegro fonts, rendered by FreeType 2.
struct FONT;

// Loads a TrueType font whose em square is `points` pixels high (72 dpi). smooth != 0 draws
// anti-aliased glyphs, 0 crisp one-bit glyphs; either way in the colour textout_ex asks for,
// at 15, 16, 24 and 32 bits. Free with destroy_font. Null when the file cannot be read.
FONT* load_ttf_font(const char* file, int points, int smooth);

#endif
