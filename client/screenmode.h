#ifndef KORVANE_CLIENT_SCREENMODE_H
#define KORVANE_CLIENT_SCREENMODE_H
// The screen-mode chooser, run before the game's graphics mode is set: a safe 8-bit screen
// with columns of drivers, depths and resolutions, and OK, Save and Quit.

// The graphics mode the client asks for.
struct cScreenMode {
  int myColourDepth = 24;    // bits per pixel
  int myWidth = 640;         // requested resolution in pixels (after a fallback mode the
  int myHeight = 480;        // screen is 640 x 480 and these keep the request)
  int myGraphicsDriver = 2;  // Allegro graphics driver identifier
};

// The chooser's depths and resolutions, top to bottom; the options screen offers the same.
namespace modeChoices {
const int depthCount = 4, resolutionCount = 5;
extern const char* const depthNames[depthCount];
extern const int depths[depthCount];  // bits per pixel
extern const char* const resolutionNames[resolutionCount];
extern const int widths[resolutionCount];  // pixels
extern const int heights[resolutionCount];
}  // namespace modeChoices

// OK leaves the choice in mode's myColourDepth, myWidth, myHeight and myGraphicsDriver (1 for
// "Autodetect", 2 for "Windowed"), puts the screen in text mode and returns false. Save writes
// "screeninfo.inf" (driver 0 for "Autodetect", 2 for "Windowed") and keeps the chooser open.
// Quit returns true with the screen still in the 8-bit mode. Needs the keyboard and mouse
// installed; ends the process with code 1 when no safe mode can be set.
bool chooseScreenMode(cScreenMode& mode);

#endif
