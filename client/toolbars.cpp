// The four toolbars of the game screen's bottom panel: layout, icons and texts, and what a
// click on each item does.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/enginerules.h"
#include "client/game.h"
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
int cGame::toolbarTextColour() { return makecol(236, 240, 255); }

cRect cGame::toolbarItem(int i) const
{
  const int minimapLeft = SCREEN_W - 5 - (SCREEN_H - layout.viewArea.bottom());
  return toolbarItemRect(i, SCREEN_H, layout.toolbarHeight, minimapLeft);
}

void cGame::loadToolbar()
{
  hostLog("Setting up Toolbar...\n");
  for (int i = 0; i < 6; ++i) {
    toolbar(TOOLBAR_MAIN).setItemsPos(i, toolbarItem(i));
    toolbar(TOOLBAR_MAIN).setItemsImage(i, nestedBitmap(context.datafile, 3, i));
  }
  for (int i = 0; i < 6; ++i) {
    toolbar(TOOLBAR_TO_BUILD).setItemsPos(i, toolbarItem(i));
    toolbar(TOOLBAR_TO_BUILD)
        .setItemsImage(i, i < 5 ? nestedBitmap(context.metaData, 4, i) : returnIcon);
  }
  hostLog("End Set up Toolbar...\n");
}

void cGame::initBuildingInfoToolbar(cBaseObject* building)
{
  cToolbar& bar = toolbar(TOOLBAR_BUILDING_INFO);
  for (int i = 0; i < 6; ++i) bar.setItemsPos(i, toolbarItem(i));
  const int type = building->myID();
  const bool known = isBuildingType(context.catalogue.get(), type);
  bar.setItemsImage(0, known ? nestedBitmap(context.metaData, 4, type - 1) : nullptr);
  bar.setItemsImage(1, nestedBitmap(context.metaData, 1, 1));
  bar.setItemsImage(2, nestedBitmap(context.metaData, 1, 2));
  const std::string position = positionText(building->myPosition(), building->myDim());
  bar.setItemsTextT(3, position.c_str(), context.gameFont, toolbarTextColour());
  bar.setItemsTextT(4, "Heal", context.gameFont, toolbarTextColour());
  bar.setItemsImage(5, returnIcon);
  bar.setEnabled(0, false);
}

void cGame::initUnitInfoToolbar(cBaseUnit* unit)
{
  cToolbar& bar = toolbar(TOOLBAR_UNIT_INFO);
  for (int i = 0; i < 6; ++i) bar.setItemsPos(i, toolbarItem(i));
  bar.setItemsImage(0, nestedBitmap(context.metaData, 4, 1));
  bar.setItemsImage(1, nestedBitmap(context.metaData, 1, 2));
  bar.setItemsTextT(2, "Move", context.gameFont, toolbarTextColour());
  shownPosition = positionText(unit->myPosition(), unit->myDim());
  bar.setItemsTextT(3, shownPosition.c_str(), context.gameFont, toolbarTextColour());
  bar.setItemsTextT(4, "Heal", context.gameFont, toolbarTextColour());
  bar.setItemsImage(5, returnIcon);
  bar.setEnabled(0, false);
}

void cGame::processMainToolbar(int item)
{
  switch (item) {
    case 0: setRedraw(cGameEngine::REDRAW_ALL); break;
    case 1: runDiagnostics(); break;
    case 2: showStatistics(); break;
    case 3: addRandomUnit(); break;
    case 4:
      toolbarState = TOOLBAR_TO_BUILD;
      setRedraw(REDRAW_PANEL);
      break;
    case 5: openChat(); break;
    default:
      if (item > 5) showBuildTypeDiagnostic(item);
      break;
  }
}

void cGame::runDiagnostics()
{
  hideMouse();
  clear_bitmap(screen);
  const int line = text_height(font) + 8;
  if (context.images)
    showCatalogue(*context.images, screen, cRect(0, 0, SCREEN_W, SCREEN_H - line));
  textout_centre_ex(screen, font, "Press any key to return.", SCREEN_W / 2, SCREEN_H - line + 4,
                    makecol(255, 255, 255), makecol(0, 0, 0));
  waitForKey();
  showMouse();
  map().testMyMap();
  if (!map().saveMap("map1", cProgramIdentity{korvaneName, isoVersion, compileDate}))
    addMessage("Could not write map1.");
  setRedraw(cGameEngine::REDRAW_ALL);
}

void cGame::showStatistics()
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
  if (context.catalogue) {
    s.terrainKinds = context.catalogue->retrieveMaxTerrains();
    s.buildingKinds = context.catalogue->retrieveMaxObjects();
    s.unitKinds = context.catalogue->retrieveMaxUnits();
  }
  s.mode = mode;
  s.buildType = buildType;
  for (const std::string& line : statisticsLines(s)) addMessage(line.c_str());
}

void cGame::addRandomUnit()
{
  const cPoint size = map().getMaxPos();
  if (!context.catalogue || context.catalogue->retrieveMaxUnits() <= 1 || size.x <= 0 ||
      size.y <= 0)
    return;
  const int y = rand() % size.y;
  const int x = rand() % size.x;
  auto unit =
      new cBaseUnit(1, player->myID(), cPoint(x, y), context.catalogue->retrieveUnitSize(1));
  if (!map().createUnit(player.get(), unit)) {
    delete unit;
    return;
  }
  renumberOccupancy(map());
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
}

void cGame::showBuildTypeDiagnostic(int item)
{
  buildType = nextBuildType(buildType);
  char text[64];
  hideMouse();
  boxButton(true, makecol(0, 0, 0), layout.viewArea).drawMe(screen, true);
  const int white = makecol(255, 255, 255);
  snprintf(text, sizeof text, "Select: %i, object: %i", item, buildType);
  textout_ex(screen, defaultFont(), text, 300, 100, white, -1);
  snprintf(text, sizeof text, "lastclickedtile: %i (%i,%i)", selectedID, cursorTile.x,
           cursorTile.y);
  textout_ex(screen, defaultFont(), text, SCREEN_W / 2 - 40, 200, white, -1);
  showMouse();
}

void cGame::processToBuildToolbar(int item)
{
  if (item >= 0 && item <= 4) {
    buildType = item + 1;
    mode = MODE_BUILD;
  } else if (item == 5) {
    toolbarState = TOOLBAR_MAIN;
    setRedraw(REDRAW_PANEL);
  }
}

void cGame::processBuildingInfo(int item)
{
  switch (item) {
    case 1:
    case 2:
      map().setTerrainUnderSelection(player.get(), item);
      setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 4: afterHeal(map().damageSelection(player.get(), -100)); break;
    case 5:
      toolbarState = TOOLBAR_MAIN;
      setRedraw(REDRAW_PANEL);
      break;
    default: break;
  }
}

void cGame::processUnitInfo(int item)
{
  switch (item) {
    case 1:
      map().setTerrainUnderSelection(player.get(), 2);
      setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 2:
      mode = MODE_COMMAND;
      setRedraw(REDRAW_STATUS);
      break;
    case 3:
      map().damageObject(player.get(), lastSelected, 1);
      renumberOccupancy(map());
      setRedraw(REDRAW_MAP);
      break;
    case 4: afterHeal(map().damageSelection(player.get(), -10)); break;
    case 5:
      toolbarState = TOOLBAR_MAIN;
      setRedraw(REDRAW_PANEL);
      break;
    default: break;
  }
}

void cGame::afterHeal(int selected)
{
  if (selected == 0) {
    setRedraw(REDRAW_MAP);
    return;
  }
  if (map().hasSelection()) {
    lastSelected = map().lastSelection();
  } else {
    lastSelected = noObject.get();
    toolbarState = TOOLBAR_MAIN;
  }
  setRedraw(REDRAW_MAP | REDRAW_PANEL | REDRAW_WIDGETS);
}
