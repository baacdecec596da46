#ifndef KORVANE_CLIENT_GLOBALS_H
#define KORVANE_CLIENT_GLOBALS_H
// The client's process-wide state, set up by main during start-up. The log stream `fp` and
// `debug_log_on` live in world/host.h, where the world code reaches them too.
#include <cstdio>

#include "gui/fonts.h"  // currentfont

struct BITMAP;
struct DATAFILE;
struct FONT;

extern int myColourDepth;     // bits per pixel; default 24
extern int myWidth;           // requested resolution in pixels; default 640 x 480 (after a
extern int myHeight;          // fallback mode the screen is 640 x 480 and these keep the request)
extern int myGraphicsDriver;  // Allegro graphics driver identifier
extern FILE* screenInfo;      // "screeninfo.inf" while it is read or written

extern DATAFILE* datafile;   // "tarvix.dat", loaded from start-up to shutdown
extern DATAFILE* metaData;   // "gamedata.dat", likewise; the catalogue is built from it
extern FONT* systemfont;     // item 1 of the same; small texts and non-fatal notices
extern BITMAP* blankBitmap;  // 29 x 29 in the colour (90, 90, 90)

extern const char* korvaneName;
extern const char* isoVersion;
extern const char* compileDate;
extern int color_depths[];  // fallback depths at 640 x 480, ended by 0

#endif
