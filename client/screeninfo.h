#ifndef KORVANE_CLIENT_SCREENINFO_H
#define KORVANE_CLIENT_SCREENINFO_H
// The file that keeps the screen mode of the next start: four lines of decimal numbers
// (colour depth, width, height, Allegro graphics driver). The chooser and the Options screen
// write it, start-up reads it. Single-threaded.
#include "client/screenmode.h"

// "screeninfo.inf", in the current folder (the player's folder once installed).
extern const char* const screenInfoFile;

// Reads the four settings into mode. A missing line, one that does not begin with a number
// or one whose number does not fit an int reads as 0. Returns the lines read: -1 (mode
// untouched) when the file cannot be opened, 0 to 4 otherwise.
int readScreenInfo(cScreenMode& mode, const char* path = screenInfoFile);

// Replaces path whole through a temporary file beside it (written, flushed to the disk,
// renamed over it). On failure path is left as it was, "Could not save screeninfo.inf." goes
// to the log (flushed) and the result is false.
bool saveScreenInfo(const cScreenMode& mode, const char* path = screenInfoFile);

#endif
