// Mouse input on the map view and the minimap, turned into game commands.
#include <allegro.h>
#include <cstdio>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/enginerules.h"
#include "client/game.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "world/metadatabase.h"

namespace {
bool shiftHeld() { return (key_shifts & KB_SHIFT_FLAG) != 0; }
}  // namespace

void cGame::processMouseMoveInMap()
{
  const cIsoPoint tile = map().checkPos(viewPoint());
  // Every mode follows the pointer, so that the status strip names the tile it points at.
  if (tile.toPoint() == cursorTile.toPoint()) return;
  cursorTile = tile;
  if (mode != MODE_BUILD) return;
  // Off the map there is nothing to preview: the footprint goes rather than stick at the edge.
  if (map().includes(cursorTile) && isBuildingType(context.catalogue.get(), buildType))
    map().setToBuild(cursorTile, buildType);
  else
    map().clearToBuild();
  setRedraw(REDRAW_CURSOR);
}

void cGame::processMouseClickedInMap()
{
  cursorTile = map().checkPos(viewPoint());
  switch (mode) {
    case MODE_BUILD: clickToBuild(); break;
    case MODE_SELECT:
      if (pointer.clickButtons == 1) clickToSelect(shiftHeld());
      break;
    case MODE_COMMAND: clickToCommand(shiftHeld()); break;
  }
}

void cGame::clickToBuild()
{
  map().clearToBuild();
  cursorTile = map().checkPos(viewPoint());
  if (pointer.clickButtons == 1) {
    if (isBuildingType(context.catalogue.get(), buildType)) {
      auto building = new cBaseObject(buildType, player->myID(), cursorTile,
                                      context.catalogue->retrieveObjectSize(buildType));
      if (map().createBuilding(player.get(), building)) {
        renumberOccupancy(map());
        setRedraw(REDRAW_WIDGETS);
        mode = MODE_SELECT;
      } else {
        delete building;
      }
    }
  } else if (map().getTerrain(cursorTile) > 0) {
    map().paintTerrain(player.get(), cursorTile, 2);
  }
  setRedraw(REDRAW_MAP);
}

void cGame::clickToSelect(bool shift)
{
  if (!shift) map().clearSelection();
  cBaseObject* picked = map().addSelection(viewPoint());
  if (!picked) {
    lastSelected = noObject.get();
    if (!shift) pickNothing();
  } else {
    selectedID = picked->myID();
    lastSelected = picked;
  }
  processSelectNewObject(picked);
  setRedraw(REDRAW_MAP);
}

void cGame::pickNothing()
{
  selectedID = 0;
  map().clearSelection();
  lastSelected = noObject.get();
  toolbarState = TOOLBAR_MAIN;
  setRedraw(REDRAW_MAP | REDRAW_PANEL);
}

void cGame::clickToCommand(bool shift)
{
  if (pointer.clickButtons == 1 && !shift) {
    map().clearSelection();
    cBaseObject* picked = map().addSelection(viewPoint());
    mode = MODE_SELECT;
    if (!picked) {
      pickNothing();
    } else {
      selectedID = picked->myID();
      lastSelected = picked;  // the information toolbar acts on what it shows
      processSelectNewObject(picked);
    }
  } else if (pointer.clickButtons == 1) {
    processSelectNewObject(map().addSelection(viewPoint()));
  } else if (pointer.clickButtons == 2) {
    const cBaseObject* there = map().getObjectAt(cursorTile);
    if (there && there->getPlayerID() != player->myID()) {
      printf("attack\n");
      map().attackWithSelection(player.get(), cursorTile);
    } else {
      printf("move %i\n", there ? 0 : 1);
      map().moveSelection(player.get(), cursorTile);
    }
    fflush(stdout);
  }
  setRedraw(REDRAW_MAP);
}

void cGame::processSelectNewObject(cBaseObject*)
{
  if (!map().hasSelection()) {
    if (toolbarState == TOOLBAR_BUILDING_INFO || toolbarState == TOOLBAR_UNIT_INFO) {
      toolbarState = TOOLBAR_MAIN;
      mode = MODE_SELECT;
      setRedraw(REDRAW_PANEL);
    }
    return;
  }
  cBaseObject* last = map().lastSelection();
  if (last->myObjectType() == 0) {
    initBuildingInfoToolbar(last);
    toolbarState = TOOLBAR_BUILDING_INFO;
  } else {
    initUnitInfoToolbar(static_cast<cBaseUnit*>(last));
    toolbarState = TOOLBAR_UNIT_INFO;
    mode = MODE_COMMAND;
  }
  setRedraw(REDRAW_PANEL);
}

void cGame::processMinimapClick()
{
  // Clamped: a tile near the map's corners, or any tile at a small zoom, lies beyond the
  // scroll limits.
  view->centreOn(centreOffsetFor(gameScreen->myMinimap().lastClicked(), layout.viewArea.myHeight(),
                                 map().getZoom()));
  setRedraw(REDRAW_WIDGETS);
}
