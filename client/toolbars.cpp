// The four toolbars of the game screen's bottom panel: layout, icons and texts, and what a
// click on each item does.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>

#include "client/cgameengine.h"
#include "client/enginerules.h"
#include "client/globals.h"
#include "client/logfile.h"
#include "gui/boxbutton.h"
#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "net/player.h"
#include "render/catalogueimages.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "world/host.h"
#include "world/metadatabase.h"

namespace {
// Bitmap `entry` of the nested datafile that is object `object` of `file`; null when either
// index lies outside its file or the entry is no bitmap.
BITMAP* nestedBitmap(DATAFILE* file, int object, int entry)
{
  if (!file) return nullptr;
  for (int i = 0; i < object; ++i)
    if (file[i].type == DAT_END) return nullptr;
  if (file[object].type != DAT_FILE) return nullptr;
  auto nested = static_cast<DATAFILE*>(file[object].dat);
  for (int i = 0; i < entry; ++i)
    if (nested[i].type == DAT_END) return nullptr;
  return nested[entry].type == DAT_BITMAP ? static_cast<BITMAP*>(nested[entry].dat) : nullptr;
}

}  // namespace

// Near white: at least 4.5 : 1 against the darkest and the lightest parts of the panel.
int cGameEngine::toolbarTextColour() { return makecol(236, 240, 255); }

cRect cGameEngine::toolbarItem(int i) const
{
  const int minimapLeft = SCREEN_W - 5 - (SCREEN_H - viewArea.bottom());
  return toolbarItemRect(i, SCREEN_H, toolbarHeight, minimapLeft);
}

void cGameEngine::loadToolbar()
{
  hostLog("Setting up Toolbar...\n");
  for (int i = 0; i < 6; ++i) {
    toolbars[0].setItemsPos(i, toolbarItem(i));
    toolbars[0].setItemsImage(i, nestedBitmap(datafile, 3, i));
  }
  for (int i = 0; i < 6; ++i) {
    toolbars[1].setItemsPos(i, toolbarItem(i));
    toolbars[1].setItemsImage(i, i < 5 ? nestedBitmap(metaData, 4, i) : returnIcon);
  }
  hostLog("End Set up Toolbar...\n");
}

void cGameEngine::initBuildingInfoToolbar(cBaseObject* building)
{
  cToolbar& bar = toolbars[2];
  for (int i = 0; i < 6; ++i) bar.setItemsPos(i, toolbarItem(i));
  const int type = building->myID();
  const bool known = isBuildingType(metaList, type);
  bar.setItemsImage(0, known ? nestedBitmap(metaData, 4, type - 1) : nullptr);
  bar.setItemsImage(1, nestedBitmap(metaData, 1, 1));
  bar.setItemsImage(2, nestedBitmap(metaData, 1, 2));
  const std::string position = positionText(building->myPosition(), building->myDim());
  bar.setItemsTextT(3, position.c_str(), gameFont, toolbarTextColour());
  bar.setItemsTextT(4, "Heal", gameFont, toolbarTextColour());
  bar.setItemsImage(5, returnIcon);
  bar.setEnabled(0, false);
}

void cGameEngine::initUnitInfoToolbar(cBaseUnit* unit)
{
  cToolbar& bar = toolbars[3];
  for (int i = 0; i < 6; ++i) bar.setItemsPos(i, toolbarItem(i));
  bar.setItemsImage(0, nestedBitmap(metaData, 4, 1));
  bar.setItemsImage(1, nestedBitmap(metaData, 1, 2));
  bar.setItemsTextT(2, "Move", gameFont, toolbarTextColour());
  shownPosition = positionText(unit->myPosition(), unit->myDim());
  bar.setItemsTextT(3, shownPosition.c_str(), gameFont, toolbarTextColour());
  bar.setItemsTextT(4, "Heal", gameFont, toolbarTextColour());
  bar.setItemsImage(5, returnIcon);
  bar.setEnabled(0, false);
}

void cGameEngine::processMainToolbar(int item, cPlayer* player)
{
  switch (item) {
    case 0: setRedraw(REDRAW_ALL); break;
    case 1: runDiagnostics(); break;
    case 2: showStatistics(player); break;
    case 3: addRandomUnit(player); break;
    case 4:
      toolbarState = 2;
      setRedraw(REDRAW_PANEL);
      break;
    case 5: openChat(); break;
    default:
      if (item > 5) showBuildTypeDiagnostic(item);
      break;
  }
}

void cGameEngine::runDiagnostics()
{
  hideMouse();
  clear_bitmap(screen);
  const int line = text_height(font) + 8;
  if (metaList) showCatalogue(*metaList, screen, cRect(0, 0, SCREEN_W, SCREEN_H - line));
  textout_centre_ex(screen, font, "Press any key to return.", SCREEN_W / 2, SCREEN_H - line + 4,
                    makecol(255, 255, 255), makecol(0, 0, 0));
  waitForKey();
  showMouse();
  map().testMyMap();
  if (!map().saveMap("map1", cProgramIdentity{korvaneName, isoVersion, compileDate}))
    addMessage("Could not write map1.");
  setRedraw(REDRAW_ALL);
}

void cGameEngine::showStatistics(cPlayer* player)
{
  cGameStatistics s;
  s.ticks = ticks;
  s.networkGame = player && player->isConnected();
  if (s.networkGame) {
    s.playerName = player->getName();
    s.playerHost = player->getHost();
    s.playerID = player->myID();
  }
  s.mapSize = map().getMaxPos();
  s.buildings = map().getBuildings()->number();
  s.units = map().getUnits()->number();
  if (metaList) {
    s.terrainKinds = metaList->retrieveMaxTerrains();
    s.buildingKinds = metaList->retrieveMaxObjects();
    s.unitKinds = metaList->retrieveMaxUnits();
  }
  s.mode = mode;
  s.buildType = buildType;
  for (const std::string& line : statisticsLines(s)) addMessage(line.c_str());
}

void cGameEngine::addRandomUnit(cPlayer* player)
{
  const cPoint size = map().getMaxPos();
  if (!metaList || metaList->retrieveMaxUnits() <= 1 || size.x <= 0 || size.y <= 0) return;
  const int y = rand() % size.y;
  const int x = rand() % size.x;
  auto unit = new cBaseUnit(1, player->myID(), cPoint(x, y), metaList->retrieveUnitSize(1));
  if (!map().createUnit(player, unit)) {
    delete unit;
    return;
  }
  renumberOccupancy(map());
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
}

void cGameEngine::showBuildTypeDiagnostic(int item)
{
  buildType = nextBuildType(buildType);
  char text[64];
  hideMouse();
  boxButton(true, makecol(0, 0, 0), viewArea).drawMe(screen, true);
  const int white = makecol(255, 255, 255);
  snprintf(text, sizeof text, "Select: %i, object: %i", item, buildType);
  textout_ex(screen, defaultFont(), text, 300, 100, white, -1);
  snprintf(text, sizeof text, "lastclickedtile: %i (%i,%i)", selectedID, cursorTile.x,
           cursorTile.y);
  textout_ex(screen, defaultFont(), text, SCREEN_W / 2 - 40, 200, white, -1);
  showMouse();
}

void cGameEngine::processToBuildToolbar(int item)
{
  if (item >= 0 && item <= 4) {
    buildType = item + 1;
    mode = 2;
  } else if (item == 5) {
    toolbarState = 1;
    setRedraw(REDRAW_PANEL);
  }
}

void cGameEngine::processBuildingInfo(int item, cPlayer* player)
{
  switch (item) {
    case 1:
    case 2:
      map().setTerrainUnderSelection(player, item);
      setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 4: afterHeal(map().damageSelection(player, -100)); break;
    case 5:
      toolbarState = 1;
      setRedraw(REDRAW_PANEL);
      break;
    default: break;
  }
}

void cGameEngine::processUnitInfo(int item, cPlayer* player)
{
  switch (item) {
    case 1:
      map().setTerrainUnderSelection(player, 2);
      setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 2:
      mode = 3;
      setRedraw(REDRAW_STATUS);
      break;
    case 3:
      map().damageObject(player, lastSelected, 1);
      renumberOccupancy(map());
      setRedraw(REDRAW_MAP);
      break;
    case 4: afterHeal(map().damageSelection(player, -10)); break;
    case 5:
      toolbarState = 1;
      setRedraw(REDRAW_PANEL);
      break;
    default: break;
  }
}

void cGameEngine::afterHeal(int selected)
{
  if (selected == 0) {
    setRedraw(REDRAW_MAP);
    return;
  }
  if (map().hasSelection()) {
    lastSelected = map().lastSelection();
  } else {
    lastSelected = noObject;
    toolbarState = 1;
  }
  setRedraw(REDRAW_MAP | REDRAW_PANEL | REDRAW_WIDGETS);
}
