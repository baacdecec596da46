#ifndef KORVANE_CLIENT_COMMANDSTATE_H
#define KORVANE_CLIENT_COMMANDSTATE_H
// What the player's commands stand on in one game, shared by the map input and the toolbars:
// the input mode, the building type to place, the toolbar shown, the object picked last and
// the tile under the pointer. Single-threaded.
#include <memory>

#include "client/enginerules.h"
#include "world/cunit.h"
#include "world/pointutil.h"

struct cCommandState {
  // Back to the start of a game: select mode, the main toolbar, nothing picked.
  void reset()
  {
    mode = MODE_SELECT;
    toolbarState = TOOLBAR_MAIN;
    lastSelected = noObject.get();
  }
  bool picked() const { return lastSelected && lastSelected != noObject.get(); }

  eMode mode = MODE_SELECT;
  int buildType = 1;
  eToolbarState toolbarState = TOOLBAR_MAIN;
  int selectedID = 0;    // type of the object picked last (0: none), shown in the status strip
  cIsoPoint cursorTile;  // the map tile under the pointer at the last map event
  // Stands for no selection: lastSelected is never null while the game runs.
  const std::unique_ptr<cBaseObject> noObject = std::make_unique<cBaseObject>(0);
  cBaseObject* lastSelected = noObject.get();  // null once the game is left
};

#endif
