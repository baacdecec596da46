#ifndef KORVANE_CLIENT_MAPINPUT_H
#define KORVANE_CLIENT_MAPINPUT_H
// The mouse on the map view and the minimap, turned into game commands: what a click
// selects, builds or orders depends on the input mode. Single-threaded.
#include "gui/mouse.h"
#include "world/pointutil.h"

class cBaseObject;
class cToolbarCommands;
class cViewControl;
struct cCommandState;
struct cGameSession;

class cMapInput {
public:
  // All four are borrowed and outlive the input: the toolbars show what gets picked, the view
  // control zooms by the wheel. Reads where the pointer is.
  cMapInput(cGameSession& session, cCommandState& state, cToolbarCommands& toolbars,
            cViewControl& viewControl);

  // Once a frame: a new reading of the mouse; the wheel zooms, a click on the map
  // (pressed, or down and up since the last reading) and a move over it are processed.
  void readMouse();
  // The pointer at a screen point, with the buttons of a click on the map (1 left, 2 right).
  void setPointer(cPoint screenPoint, int clickButtons = 0);
  const cMouse& myPointer() const { return pointer.current; }
  bool pressedInView() const;  // a button is down with the pointer over the map view

  // On the pointer as the last reading or setPointer left it.
  void processMouseMoveInMap();
  void processMouseClickedInMap();
  // Shows the toolbar for the map's last selection, or the main one when nothing is picked.
  void processSelectNewObject(cBaseObject* object);
  void processMinimapClick();
  // select -> build placement -> unit command -> select; a building waiting is given up.
  void changeMode();
  // Nothing may point into an object or a preview about to be freed.
  void forgetSelection();

private:
  bool mouseInView() const;
  cPoint viewPoint() const;  // the pointer in the view's own pixels
  void clickToBuild();
  void clickToSelect(bool shift);
  void clickToCommand(bool shift);
  void pickNothing();

  cGameSession& session;
  cCommandState& state;
  cToolbarCommands& toolbars;
  cViewControl& viewControl;
  struct cPointer {
    cMouse current;
    cMouse last;
    int clickButtons = 0;  // the buttons of this frame's click on the map
  } pointer;
};

#endif
