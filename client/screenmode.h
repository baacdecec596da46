#ifndef KORVANE_CLIENT_SCREENMODE_H
#define KORVANE_CLIENT_SCREENMODE_H
// The screen-mode chooser, run before the game's graphics mode is set.

// Leaves the choice in myColourDepth, myWidth, myHeight and myGraphicsDriver; true when the
// player chose Quit. Until the chooser screen exists, the current (default) mode is kept.
bool chooseScreenMode();

#endif
