#ifndef KORVANE_CLIENT_ENGINERULES_H
#define KORVANE_CLIENT_ENGINERULES_H
// The game screen's rules that need no display: the key table, the toolbar layout, the
// statistics text, the cycles of build types and input modes, the minimap re-centring.
// Pixels and map cells as named.
#include <string>
#include <vector>

#include "world/pointutil.h"

// What a key does in a game. Scrolling keys also carry their step.
enum eKeyAction {
  KEY_ACTION_NONE,
  KEY_ACTION_SCROLL,
  KEY_ACTION_QUIT,
  KEY_ACTION_ZOOM_IN,
  KEY_ACTION_ZOOM_OUT,
  KEY_ACTION_RELOAD_TOOLBAR,
  KEY_ACTION_SCREENSHOT,
  KEY_ACTION_SELF_TEST,
};

struct cKeyAction {
  eKeyAction action = KEY_ACTION_NONE;
  cPoint scroll;  // pixels, for KEY_ACTION_SCROLL
};

// key as readkey gives it: scan code in bits 8-15, character in bits 0-7. The arrows, the
// keypad's 8, 2, 4, 6 and Esc go by scan code; any other key by its character.
cKeyAction gameKeyAction(int key);

// The map's input modes, numbered as the status strip and the statistics show them.
enum eMode { MODE_SELECT = 1, MODE_BUILD = 2, MODE_COMMAND = 3 };
// The toolbar the bottom panel shows, numbered from 1 as the panel counts them.
enum eToolbarState {
  TOOLBAR_MAIN = 1,
  TOOLBAR_TO_BUILD = 2,
  TOOLBAR_BUILDING_INFO = 3,
  TOOLBAR_UNIT_INFO = 4,
};

// select -> build placement -> unit command -> select.
eMode nextMode(eMode mode);
// Building types cycled by the main toolbar's diagnostic branch: 1..9, 9 wraps to 1.
int nextBuildType(int buildType);

class cMetaDatabase;
// Whether the catalogue (may be null) has building type `type`; type 0 is no building.
bool isBuildingType(const cMetaDatabase* catalogue, int type);

// Item i (0..5) of a bottom toolbar: six items fitted left of the minimap, whose left edge
// is minimapLeft; toolbarHeight is the panel's item height (screen width / 6).
cRect toolbarItemRect(int i, int screenHeight, int toolbarHeight, int minimapLeft);

// Where the game screen's parts lie on a screen of width x height pixels.
struct cScreenLayout {
  cRect screenRect;       // (0, 0, width, height)
  cRect viewArea;         // the map view, between the status strip and the bottom panel
  int toolbarHeight = 0;  // the bottom panel's item height: width / 6
};
cScreenLayout screenLayout(int width, int height);

// The scroll offset that puts map cell `tile` at the centre of a view viewHeight high.
cPoint centreOffsetFor(cPoint tile, int viewHeight, int zoom);

// What the statistics lines report.
struct cGameStatistics {
  long long ticks = 0;
  bool networkGame = false;
  std::string playerName, playerHost;
  long playerID = 0;
  cPoint mapSize;  // cells
  long buildings = 0, units = 0;
  int terrainKinds = 0, buildingKinds = 0, unitKinds = 0;
  int mode = 0, buildType = 0;
};
std::vector<std::string> statisticsLines(const cGameStatistics& s);

// "(%i,%i)->(%i,%i)": an object's position and footprint.
std::string positionText(cPoint position, cPoint dimension);

// The view's offset step of one frame for the held arrows, at edge scrolling's middle
// speed (8 pixels a frame); opposite arrows cancel.
cPoint arrowScroll(bool up, bool down, bool left, bool right);

#endif
