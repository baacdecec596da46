#ifndef KORVANE_CLIENT_LOADINGSCREEN_H
#define KORVANE_CLIENT_LOADINGSCREEN_H
// The loading screen shown while the data files load. All of it draws on the screen.
struct BITMAP;
struct FONT;

// Clears the screen and draws the cloud background, the logo, "Loading Game..." and the
// empty frame of the progress bar. Text is drawn without a background from here on.
void draw_loading_screen();

// Paints the progress bar from `from` to `to` per cent (0 <= from < to <= 100); 100 per cent
// is 200 pixels. Each call paints only its own segment.
void draw_percent(int from, int to);

// Text centred at (x, y) in grey with a white copy one pixel down and right.
void textout_centre_shadow(BITMAP* bmp, FONT* font, const char* text, int x, int y);

// Tiles the screen with a new 512 x 512 seamless cloud texture.
void draw_background_tarvix();

// Blends "title1.png" (current directory) by its alpha channel, centred horizontally with its
// bottom edge on the screen's vertical centre; draws nothing when the file is missing.
void draw_title_logo();

#endif
