// Mouse input on the map view and the minimap, turned into game commands.
#include <allegro.h>
#include <cstdio>

#include "client/cgameengine.h"
#include "client/enginerules.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "world/metadatabase.h"

namespace {
bool shiftHeld() { return (key_shifts & KB_SHIFT_FLAG) != 0; }
}  // namespace

void cGameEngine::processMouseMoveInMap()
{
  const cIsoPoint tile = map().checkPos(viewPoint());
  // Every mode follows the pointer, so that the status strip names the tile it points at.
  if (tile.toPoint() == cursorTile.toPoint()) return;
  cursorTile = tile;
  if (mode != 2) return;
  // Off the map there is nothing to preview: the footprint goes rather than stick at the edge.
  if (map().includes(cursorTile) && isBuildingType(metaList, buildType))
    map().setToBuild(cursorTile, buildType);
  else
    map().clearToBuild();
  setRedraw(REDRAW_CURSOR);
}

void cGameEngine::processMouseClickedInMap(cPlayer* player)
{
  cursorTile = map().checkPos(viewPoint());
  switch (mode) {
    case 2: clickToBuild(player); break;
    case 1:
      if (clickButtons == 1) clickToSelect(shiftHeld());
      break;
    case 3: clickToCommand(player, shiftHeld()); break;
    default: break;
  }
}

void cGameEngine::clickToBuild(cPlayer* player)
{
  map().clearToBuild();
  cursorTile = map().checkPos(viewPoint());
  if (clickButtons == 1) {
    if (isBuildingType(metaList, buildType)) {
      auto building = new cBaseObject(buildType, player->myID(), cursorTile,
                                      metaList->retrieveObjectSize(buildType));
      if (map().createBuilding(player, building)) {
        renumberOccupancy(map());
        setRedraw(REDRAW_WIDGETS);
        mode = 1;
      } else {
        delete building;
      }
    }
  } else if (map().getTerrain(cursorTile) > 0) {
    map().paintTerrain(player, cursorTile, 2);
  }
  setRedraw(REDRAW_MAP);
}

void cGameEngine::clickToSelect(bool shift)
{
  if (!shift) map().clearSelection();
  cBaseObject* picked = map().addSelection(viewPoint());
  if (!picked) {
    lastSelected = noObject;
    if (!shift) pickNothing();
  } else {
    selectedID = picked->myID();
    lastSelected = picked;
  }
  processSelectNewObject(picked);
  setRedraw(REDRAW_MAP);
}

void cGameEngine::pickNothing()
{
  selectedID = 0;
  map().clearSelection();
  lastSelected = noObject;
  toolbarState = 1;
  setRedraw(REDRAW_MAP | REDRAW_PANEL);
}

void cGameEngine::clickToCommand(cPlayer* player, bool shift)
{
  if (clickButtons == 1 && !shift) {
    map().clearSelection();
    cBaseObject* picked = map().addSelection(viewPoint());
    mode = 1;
    if (!picked) {
      pickNothing();
    } else {
      selectedID = picked->myID();
      lastSelected = picked;  // the information toolbar acts on what it shows
      processSelectNewObject(picked);
    }
  } else if (clickButtons == 1) {
    processSelectNewObject(map().addSelection(viewPoint()));
  } else if (clickButtons == 2) {
    const cBaseObject* there = map().getObjectAt(cursorTile);
    if (there && there->getPlayerID() != player->myID()) {
      printf("attack\n");
      map().attackWithSelection(player, cursorTile);
    } else {
      printf("move %i\n", there ? 0 : 1);
      map().moveSelection(player, cursorTile);
    }
    fflush(stdout);
  }
  setRedraw(REDRAW_MAP);
}

void cGameEngine::processSelectNewObject(cBaseObject*)
{
  if (!map().hasSelection()) {
    if (toolbarState == 3 || toolbarState == 4) {
      toolbarState = 1;
      mode = 1;
      setRedraw(REDRAW_PANEL);
    }
    return;
  }
  cBaseObject* last = map().lastSelection();
  if (last->myObjectType() == 0) {
    initBuildingInfoToolbar(last);
    toolbarState = 3;
  } else {
    initUnitInfoToolbar(static_cast<cBaseUnit*>(last));
    toolbarState = 4;
    mode = 3;
  }
  setRedraw(REDRAW_PANEL);
}

void cGameEngine::processMinimapClick()
{
  // Clamped: a tile near the map's corners, or any tile at a small zoom, lies beyond the
  // scroll limits.
  view->centreOn(centreOffsetFor(minimap->lastClicked(), viewArea.myHeight(), map().getZoom()));
  setRedraw(REDRAW_WIDGETS);
}
