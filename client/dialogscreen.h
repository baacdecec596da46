#ifndef KORVANE_CLIENT_DIALOGSCREEN_H
#define KORVANE_CLIENT_DIALOGSCREEN_H
// The full-screen page of the client's dialogs.
class cGUICollection;
struct BITMAP;

// Composes the panel background (grey when it is null; borrowed) under every element of the
// collection off screen, then copies the page onto the screen.
void drawDialog(cGUICollection& gui, BITMAP* background);

#endif
