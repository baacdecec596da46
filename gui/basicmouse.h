#ifndef KORVANE_GUI_BASICMOUSE_H
#define KORVANE_GUI_BASICMOUSE_H
// Brackets for every direct drawing on the screen: the pointer is hidden while the screen is
// drawn on. Calls nest (Allegro counts them). Each call writes one character to stderr,
// "h" or "s", so that unbalanced brackets show in a trace.

void hideMouse();
void showMouse();

#endif
