#include "client/mapinput.h"

#include <allegro.h>
#include <cstdio>

#include "client/cgameengine.h"
#include "client/commandstate.h"
#include "client/context.h"
#include "client/enginerules.h"
#include "client/gamesession.h"
#include "client/gametoolbars.h"
#include "client/viewcontrol.h"
#include "net/player.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "world/metadatabase.h"

namespace {
bool shiftHeld() { return (key_shifts & KB_SHIFT_FLAG) != 0; }
}  // namespace

cMapInput::cMapInput(cGameSession& session, cCommandState& state, cToolbarCommands& toolbars,
                     cViewControl& viewControl)
    : session(session), state(state), toolbars(toolbars), viewControl(viewControl)
{
  pointer.current.getPosition();
  pointer.last = pointer.current;
}

void cMapInput::setPointer(cPoint screenPoint, int clickButtons)
{
  pointer.current.pos = screenPoint;
  pointer.clickButtons = clickButtons;
}

bool cMapInput::mouseInView() const
{
  return session.view->getBounds().includes(pointer.current.pos);
}

bool cMapInput::pressedInView() const { return pointer.current.buttons != 0 && mouseInView(); }

cPoint cMapInput::viewPoint() const
{
  return pointer.current.pos - session.layout.viewArea.topLeft;
}

void cMapInput::readMouse()
{
  const cMouse& now = pointer.current;
  const cMouse& before = pointer.last;
  pointer.last = pointer.current;
  pointer.current.getPosition();
  if (now.wheel > before.wheel) viewControl.increase_zoom();
  if (now.wheel < before.wheel) viewControl.decrease_zoom();
  // A click that went down and up between two frames still counts, with its buttons.
  const bool pressed = now.buttons != 0 && now.buttons != before.buttons;
  const bool latched = !pressed && now.clickedSince(before);
  pointer.clickButtons = pressed ? now.buttons : now.pressedButtons;
  if ((pressed || latched) && mouseInView()) processMouseClickedInMap();
  if (now.pos != before.pos) {
    cGameEngine::setRedraw(REDRAW_STATUS);
    if (mouseInView()) processMouseMoveInMap();
  }
}

void cMapInput::processMouseMoveInMap()
{
  cIsoView& map = session.map();
  const cIsoPoint tile = map.checkPos(viewPoint());
  // Every mode follows the pointer, so that the status strip names the tile it points at.
  if (tile.toPoint() == state.cursorTile.toPoint()) return;
  state.cursorTile = tile;
  if (state.mode != MODE_BUILD) return;
  // Off the map there is nothing to preview: the footprint goes rather than stick at the edge.
  if (map.includes(state.cursorTile) &&
      isBuildingType(session.context.catalogue.get(), state.buildType))
    map.setToBuild(state.cursorTile, state.buildType);
  else
    map.clearToBuild();
  cGameEngine::setRedraw(REDRAW_CURSOR);
}

void cMapInput::processMouseClickedInMap()
{
  state.cursorTile = session.map().checkPos(viewPoint());
  switch (state.mode) {
    case MODE_BUILD: clickToBuild(); break;
    case MODE_SELECT:
      if (pointer.clickButtons == 1) clickToSelect(shiftHeld());
      break;
    case MODE_COMMAND: clickToCommand(shiftHeld()); break;
  }
}

void cMapInput::clickToBuild()
{
  cIsoView& map = session.map();
  const cMetaDatabase* catalogue = session.context.catalogue.get();
  map.clearToBuild();
  state.cursorTile = map.checkPos(viewPoint());
  if (pointer.clickButtons == 1) {
    if (isBuildingType(catalogue, state.buildType)) {
      auto building = new cBaseObject(state.buildType, session.player->myID(), state.cursorTile,
                                      catalogue->retrieveObjectSize(state.buildType));
      if (map.createBuilding(session.player.get(), building)) {
        renumberOccupancy(map);
        cGameEngine::setRedraw(REDRAW_WIDGETS);
        state.mode = MODE_SELECT;
      } else {
        delete building;
      }
    }
  } else if (map.getTerrain(state.cursorTile) > 0) {
    map.paintTerrain(session.player.get(), state.cursorTile, 2);
  }
  cGameEngine::setRedraw(REDRAW_MAP);
}

void cMapInput::clickToSelect(bool shift)
{
  if (!shift) session.map().clearSelection();
  cBaseObject* picked = session.map().addSelection(viewPoint());
  if (!picked) {
    state.lastSelected = state.noObject.get();
    if (!shift) pickNothing();
  } else {
    state.selectedID = picked->myID();
    state.lastSelected = picked;
  }
  processSelectNewObject(picked);
  cGameEngine::setRedraw(REDRAW_MAP);
}

void cMapInput::pickNothing()
{
  state.selectedID = 0;
  session.map().clearSelection();
  state.lastSelected = state.noObject.get();
  state.toolbarState = TOOLBAR_MAIN;
  cGameEngine::setRedraw(REDRAW_MAP | REDRAW_PANEL);
}

void cMapInput::clickToCommand(bool shift)
{
  cIsoView& map = session.map();
  cPlayer* player = session.player.get();
  if (pointer.clickButtons == 1 && !shift) {
    map.clearSelection();
    cBaseObject* picked = map.addSelection(viewPoint());
    state.mode = MODE_SELECT;
    if (!picked) {
      pickNothing();
    } else {
      state.selectedID = picked->myID();
      state.lastSelected = picked;  // the information toolbar acts on what it shows
      processSelectNewObject(picked);
    }
  } else if (pointer.clickButtons == 1) {
    processSelectNewObject(map.addSelection(viewPoint()));
  } else if (pointer.clickButtons == 2) {
    const cBaseObject* there = map.getObjectAt(state.cursorTile);
    if (there && there->getPlayerID() != player->myID()) {
      printf("attack\n");
      map.attackWithSelection(player, state.cursorTile);
    } else {
      printf("move %i\n", there ? 0 : 1);
      map.moveSelection(player, state.cursorTile);
    }
    fflush(stdout);
  }
  cGameEngine::setRedraw(REDRAW_MAP);
}

void cMapInput::processSelectNewObject(cBaseObject*)
{
  if (!session.map().hasSelection()) {
    if (state.toolbarState == TOOLBAR_BUILDING_INFO || state.toolbarState == TOOLBAR_UNIT_INFO) {
      state.toolbarState = TOOLBAR_MAIN;
      state.mode = MODE_SELECT;
      cGameEngine::setRedraw(REDRAW_PANEL);
    }
    return;
  }
  cBaseObject* last = session.map().lastSelection();
  if (last->myObjectType() == 0) {
    toolbars.initBuildingInfoToolbar(last);
    state.toolbarState = TOOLBAR_BUILDING_INFO;
  } else {
    toolbars.initUnitInfoToolbar(static_cast<cBaseUnit*>(last));
    state.toolbarState = TOOLBAR_UNIT_INFO;
    state.mode = MODE_COMMAND;
  }
  cGameEngine::setRedraw(REDRAW_PANEL);
}

void cMapInput::processMinimapClick()
{
  // Clamped: a tile near the map's corners, or any tile at a small zoom, lies beyond the
  // scroll limits.
  session.view->centreOn(centreOffsetFor(session.screen->myMinimap().lastClicked(),
                                         session.layout.viewArea.myHeight(),
                                         session.map().getZoom()));
  cGameEngine::setRedraw(REDRAW_WIDGETS);
}

void cMapInput::changeMode()
{
  if (state.mode == MODE_BUILD) session.map().clearToBuild();
  state.mode = nextMode(state.mode);
  cGameEngine::setRedraw(REDRAW_STATUS);
}

void cMapInput::forgetSelection()
{
  session.map().clearSelection();
  session.map().clearToBuild();
  state.lastSelected = nullptr;
  state.selectedID = 0;
}
