#ifndef KORVANE_RENDER_ISOSCREEN_H
#define KORVANE_RENDER_ISOSCREEN_H
// The game screen composed by redraw flags: the status strip above the map view, the bottom
// panel with its toolbars, the minimap, the map view and the message overlay. Everything it
// reads is handed in; it draws into the caller's scratch bitmap and copies only what it
// redrew to the destination.
#include "gui/mouse.h"
#include "world/pointutil.h"

struct BITMAP;
class cGUICollection;
class cIsoViewRect;
class cMinimap;
class cToolbar;

// Redraw flags (bits of `parts`).
enum {
  REDRAW_STATUS = 1,   // the status strip
  REDRAW_PANEL = 2,    // the bottom panel and which toolbar is shown
  REDRAW_WIDGETS = 4,  // the marked GUI elements and the minimap
  REDRAW_CURSOR = 8,   // the map view
  REDRAW_MAP = 16,     // the map view with the message overlay
};

// What the screen shows. Pointers are borrowed; a null one leaves its part out.
struct cIsoScreen {
  BITMAP* scratch = nullptr;  // the screen's size; made (and cleared) once by the caller
  cRect screenRect;           // (0, 0, screen width, screen height)
  cRect viewArea;             // the map view on the screen
  cIsoViewRect* view = nullptr;
  cGUICollection* gui = nullptr;
  cToolbar* toolbars = nullptr;  // four of them
  int toolbarState = 1;          // 1..4: the one shown
  cMinimap* minimap = nullptr;
  cMouse mouse;  // its position is shown in the status strip
  int mode = 1;  // map input mode
  cIsoPoint cursorTile;
  int selectedID = 0;                 // type of the object last picked, 0 for none
  BITMAP* panelBackground = nullptr;  // texture of the strip and the panel
  BITMAP* messageBitmap = nullptr;    // masked text over the top of the map view
  int messageHeight = 0;              // its rows that hold text: they get a dark backing
  const char* version = "";           // the program's version
};

// The strip above the map view and the panel below it, in screen pixels.
cRect statusBarRect(const cIsoScreen& s);
cRect panelRect(const cIsoScreen& s);
// The square of the screen that a minimap redraw copies.
cRect minimapCopyRect(const cIsoScreen& s);

// Redraws the parts named by the flags into s.scratch and copies them to destination
// (the screen, whose pointer is hidden meanwhile, or any bitmap of the screen's size).
// False, drawing nothing, without a scratch bitmap covering the screen rectangle.
bool drawIsoScreen(int parts, const cIsoScreen& s, BITMAP* destination);

// The steps of drawIsoScreen, each into s.scratch.
void drawStatusBar(const cIsoScreen& s);
void drawPanel(const cIsoScreen& s);
void drawMapView(const cIsoScreen& s);  // the map and the overlay
void drawMessageOverlay(const cIsoScreen& s);
void copyRedrawn(int parts, const cIsoScreen& s, BITMAP* destination);

#endif
