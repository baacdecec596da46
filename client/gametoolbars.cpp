// The four toolbars of the game screen's bottom panel: layout, icons and texts, and what a
// click on each item does.
#include "client/gametoolbars.h"

#include <allegro.h>
#include <loadpng.h>
#include <cstdio>
#include <cstdlib>

#include "client/cgameengine.h"
#include "client/chat.h"
#include "client/commandstate.h"
#include "client/context.h"
#include "client/gamesession.h"
#include "client/globals.h"
#include "gui/boxbutton.h"
#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "gui/mouse.h"
#include "net/player.h"
#include "render/catalogueimages.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
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

cToolbarCommands::cToolbarCommands(cGameSession& session, cCommandState& state,
                                   cGameToolbars& toolbars, cChat& chat)
    : session(session), state(state), toolbars(toolbars), chat(chat)
{
  returnIcon = load_png(hostDataFile("return.png").c_str(), nullptr);
  if (!returnIcon) {
    // Without the file the back items show an empty icon, never uninitialised pixels.
    returnIcon = create_bitmap(100, 100);
    clear_bitmap(returnIcon);
  }
}

void cToolbarCommands::release()
{
  for (cToolbar& t : toolbars.bars)
    for (int i = 0; i < t.myCount(); ++i) t.clearItemsImage(i);
  if (returnIcon) destroy_bitmap(returnIcon);
  returnIcon = nullptr;
}

// Near white: at least 4.5 : 1 against the darkest and the lightest parts of the panel.
int cToolbarCommands::toolbarTextColour() { return makecol(236, 240, 255); }

cRect cToolbarCommands::toolbarItem(int i) const
{
  const cScreenLayout& layout = session.layout;
  const int minimapLeft = SCREEN_W - 5 - (SCREEN_H - layout.viewArea.bottom());
  return toolbarItemRect(i, SCREEN_H, layout.toolbarHeight, minimapLeft);
}

void cToolbarCommands::loadToolbar()
{
  const cClientContext& context = session.context;
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

void cToolbarCommands::initBuildingInfoToolbar(cBaseObject* building)
{
  const cClientContext& context = session.context;
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

void cToolbarCommands::initUnitInfoToolbar(cBaseUnit* unit)
{
  const cClientContext& context = session.context;
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

void cToolbarCommands::processShownToolbar(bool pressedInView)
{
  const int item = toolbar(state.toolbarState).myMessage();
  switch (state.toolbarState) {
    case TOOLBAR_MAIN:
      processMainToolbar(item);
      if (state.mode == MODE_BUILD && pressedInView) {
        session.map().clearToBuild();
        state.mode = MODE_SELECT;
      }
      break;
    case TOOLBAR_TO_BUILD: processToBuildToolbar(item); break;
    case TOOLBAR_BUILDING_INFO: processBuildingInfo(item); break;
    case TOOLBAR_UNIT_INFO: processUnitInfo(item); break;
  }
}

void cToolbarCommands::showPanel(eToolbarState which)
{
  state.toolbarState = which;
  cGameEngine::setRedraw(REDRAW_PANEL);
}

void cToolbarCommands::processMainToolbar(int item)
{
  switch (item) {
    case 0: cGameEngine::setRedraw(cGameEngine::REDRAW_ALL); break;
    case 1: runDiagnostics(); break;
    case 2: showStatistics(); break;
    case 3: addRandomUnit(); break;
    case 4: showPanel(TOOLBAR_TO_BUILD); break;
    case 5: openChat(); break;
    default:
      if (item > 5) showBuildTypeDiagnostic(item);
      break;
  }
}

void cToolbarCommands::runDiagnostics()
{
  hideMouse();
  clear_bitmap(screen);
  const int line = text_height(font) + 8;
  if (session.context.images)
    showCatalogue(*session.context.images, screen, cRect(0, 0, SCREEN_W, SCREEN_H - line));
  textout_centre_ex(screen, font, "Press any key to return.", SCREEN_W / 2, SCREEN_H - line + 4,
                    makecol(255, 255, 255), makecol(0, 0, 0));
  waitForKey();
  showMouse();
  session.map().testMyMap();
  if (!session.map().saveMap("map1", cProgramIdentity{korvaneName, isoVersion, compileDate}))
    session.addMessage("Could not write map1.");
  cGameEngine::setRedraw(cGameEngine::REDRAW_ALL);
}

void cToolbarCommands::showStatistics()
{
  cPlayer& player = *session.player;
  const cClientContext& context = session.context;
  cGameStatistics s;
  s.ticks = session.ticks;
  s.networkGame = player.isConnected();
  if (s.networkGame) {
    s.playerName = player.getName();
    s.playerHost = player.getHost();
    s.playerID = player.myID();
  }
  s.mapSize = session.map().getMaxPos();
  s.buildings = session.map().getBuildings()->number();
  s.units = session.map().getUnits()->number();
  if (context.catalogue) {
    s.terrainKinds = context.catalogue->retrieveMaxTerrains();
    s.buildingKinds = context.catalogue->retrieveMaxObjects();
    s.unitKinds = context.catalogue->retrieveMaxUnits();
  }
  s.mode = state.mode;
  s.buildType = state.buildType;
  for (const std::string& line : statisticsLines(s)) session.addMessage(line.c_str());
}

void cToolbarCommands::addRandomUnit()
{
  const cMetaDatabase* catalogue = session.context.catalogue.get();
  cIsoView& map = session.map();
  const cPoint size = map.getMaxPos();
  if (!catalogue || catalogue->retrieveMaxUnits() <= 1 || size.x <= 0 || size.y <= 0) return;
  const int y = rand() % size.y;
  const int x = rand() % size.x;
  auto unit =
      new cBaseUnit(1, session.player->myID(), cPoint(x, y), catalogue->retrieveUnitSize(1));
  if (!map.createUnit(session.player.get(), unit)) {
    delete unit;
    return;
  }
  renumberOccupancy(map);
  cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
}

void cToolbarCommands::showBuildTypeDiagnostic(int item)
{
  state.buildType = nextBuildType(state.buildType);
  char text[64];
  hideMouse();
  boxButton(true, makecol(0, 0, 0), session.layout.viewArea).drawMe(screen, true);
  const int white = makecol(255, 255, 255);
  snprintf(text, sizeof text, "Select: %i, object: %i", item, state.buildType);
  textout_ex(screen, defaultFont(), text, 300, 100, white, -1);
  snprintf(text, sizeof text, "lastclickedtile: %i (%i,%i)", state.selectedID, state.cursorTile.x,
           state.cursorTile.y);
  textout_ex(screen, defaultFont(), text, SCREEN_W / 2 - 40, 200, white, -1);
  showMouse();
}

// A building waiting to be placed is given up: the next map click must not place it.
void cToolbarCommands::openChat()
{
  if (state.mode == MODE_BUILD) {
    session.map().clearToBuild();
    state.mode = MODE_SELECT;
    cGameEngine::setRedraw(REDRAW_STATUS);
  }
  chat.open();
}

void cToolbarCommands::processToBuildToolbar(int item)
{
  if (item >= 0 && item <= 4) {
    state.buildType = item + 1;
    state.mode = MODE_BUILD;
  } else if (item == 5) {
    showPanel(TOOLBAR_MAIN);
  }
}

void cToolbarCommands::processBuildingInfo(int item)
{
  cIsoView& map = session.map();
  switch (item) {
    case 1:
    case 2:
      map.setTerrainUnderSelection(session.player.get(), item);
      cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 4: afterHeal(map.damageSelection(session.player.get(), -100)); break;
    case 5: showPanel(TOOLBAR_MAIN); break;
    default: break;
  }
}

void cToolbarCommands::processUnitInfo(int item)
{
  cIsoView& map = session.map();
  switch (item) {
    case 1:
      map.setTerrainUnderSelection(session.player.get(), 2);
      cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
      break;
    case 2:
      state.mode = MODE_COMMAND;
      cGameEngine::setRedraw(REDRAW_STATUS);
      break;
    case 3:
      map.damageObject(session.player.get(), state.lastSelected, 1);
      renumberOccupancy(map);
      cGameEngine::setRedraw(REDRAW_MAP);
      break;
    case 4: afterHeal(map.damageSelection(session.player.get(), -10)); break;
    case 5: showPanel(TOOLBAR_MAIN); break;
    default: break;
  }
}

void cToolbarCommands::afterHeal(int selected)
{
  if (selected == 0) {
    cGameEngine::setRedraw(REDRAW_MAP);
    return;
  }
  if (session.map().hasSelection()) {
    state.lastSelected = session.map().lastSelection();
  } else {
    state.lastSelected = state.noObject.get();
    state.toolbarState = TOOLBAR_MAIN;
  }
  cGameEngine::setRedraw(REDRAW_MAP | REDRAW_PANEL | REDRAW_WIDGETS);
}

void cToolbarCommands::followSelectedUnit()
{
  if (state.toolbarState != TOOLBAR_UNIT_INFO || !state.picked()) return;
  const std::string now =
      positionText(state.lastSelected->myPosition(), state.lastSelected->myDim());
  if (now == shownPosition) return;
  shownPosition = now;
  toolbar(TOOLBAR_UNIT_INFO)
      .setItemsTextT(3, now.c_str(), session.context.gameFont, toolbarTextColour());
  cGameEngine::setRedraw(REDRAW_PANEL);
}

// A toolbar shown again was not polled while hidden: the clicks latched meanwhile (the one
// that switched toolbars among them) are not its own.
void cToolbarCommands::beforeDrawing(int parts)
{
  if (!(parts & REDRAW_PANEL) || shownToolbar == state.toolbarState) return;
  shownToolbar = state.toolbarState;
  toolbar(state.toolbarState).forgetEarlierClicks();
}
