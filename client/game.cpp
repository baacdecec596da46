#include "client/game.h"

#include <allegro.h>
#include <loadpng.h>
#include <cstdio>
#include <string>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/ending.h"
#include "client/globals.h"
#include "gui/guicollection.h"
#include "net/player.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "world/host.h"

cGame::cGame(cClientContext& context, cClock& clock, cGameToolbars& toolbars, cPlayer* player,
             std::unique_ptr<cIsoViewRect> view)
    : context(context),
      clock(clock),
      toolbars(toolbars),
      pacer(clock),
      player(player),
      view(std::move(view)),
      layout(screenLayout(SCREEN_W, SCREEN_H))
{
  gameScreen = std::make_unique<cGameScreen>(layout, context.gameFont, toolbars, map());
  map().setLocalPlayer(this->player->myID());
  map().setFlashes({});
  gameScreen->myMinimap().setOwners(&map(), this->player->myID());
  this->view->setQuietArea(
      cRect(cPoint(0, layout.viewArea.bottom()), layout.screenRect.bottomRight));
  openOnOwnForces();
  welcome();
  watchDisplaySwitch();
  pointer.current.getPosition();
  pointer.last = pointer.current;
  pacer.restart();
}

cGame::~cGame() { leave(); }

cIsoView& cGame::map() { return view->getView(); }

void cGame::run()
{
  while (!cGameEngine::q) runPass();
  leave();
}

void cGame::setRedraw(int flags) { cGameEngine::setRedraw(flags); }

void cGame::setPointer(cPoint screenPoint, int clickButtons)
{
  pointer.current.pos = screenPoint;
  pointer.clickButtons = clickButtons;
}

// A frame arriving wakes the loop and is taken in at once; without a connection the loop
// sleeps on its clock alone.
void cGame::sleepUntilDue()
{
  const int64_t wait = pacer.nextDeadline() - clock.now();
  if (wait <= 0 || !player->isConnected()) {
    pacer.sleep();
    return;
  }
  // Whole milliseconds, rounded up: waking before the deadline would only wait again.
  if (!player->waitForData(int((wait + 999) / 1000))) return;
  if (map().receiveWaiting(player.get())) setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  renumberOccupancy(map());
}

bool cGame::mouseInView() const { return view->getBounds().includes(pointer.current.pos); }

cPoint cGame::viewPoint() const { return pointer.current.pos - layout.viewArea.topLeft; }

void cGame::welcome()
{
  noObject = std::make_unique<cBaseObject>(0);
  lastSelected = noObject.get();
  cGameEngine::redraw = cGameEngine::REDRAW_ALL;
  selectedID = 0;
  char text[160];
  addMessage("Welcome to Tarvix Dunmarch.");
  snprintf(text, sizeof text, "%s Version %s", korvaneName, isoVersion);
  addMessage(text);
  snprintf(text, sizeof text, "Compiled %s", compileDate);
  addMessage(text);
  cGameEngine::q = false;
  mode = MODE_SELECT;
  buildType = 1;
  toolbarState = TOOLBAR_MAIN;
  returnIcon = load_png(hostDataFile("return.png").c_str(), nullptr);
  if (!returnIcon) {
    // Without the file the back items show an empty icon, never uninitialised pixels.
    returnIcon = create_bitmap(100, 100);
    clear_bitmap(returnIcon);
  }
  ticks = 0;
  loadToolbar();
  hostLog("Entering main engine...\n");
  context.log.close();
  clear_keybuf();
  showMouse();
  context.log.open("a");
}

void cGame::watchDisplaySwitch()
{
  hostLog("set: %i\n", set_display_switch_mode(SWITCH_BACKGROUND));
  hostLog("in: %i\n", set_display_switch_callback(SWITCH_IN, cGameEngine::display_switch_callback));
  hostLog("out: %i\n",
          set_display_switch_callback(SWITCH_OUT, cGameEngine::display_switch_callback_out));
  hostLog("%s\n!", std::string(50, '!').c_str());
  context.log.close();
  context.log.open("a");
}

void cGame::forgetDisplaySwitch()
{
  remove_display_switch_callback(cGameEngine::display_switch_callback);
  remove_display_switch_callback(cGameEngine::display_switch_callback_out);
  cHotSpotRect::setSwitchedOut(false);
}

void cGame::runPass()
{
  endIfAsked();
  sleepUntilDue();
  for (int turns = pacer.turnsDue(); turns > 0; --turns) runTurn();
  if (pacer.frameDue()) runFrame();
}

void cGame::runTurn()
{
  ++ticks;
  if (ticks % 1000 != 0 && map().processTurnDraining(player.get()))
    setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  collectBlasts();
  // Clicks resolve through the occupancy numbers: they must never be a turn old.
  renumberOccupancy(map());
}

void cGame::runFrame()
{
  showReceivedTexts();
  gameScreen->scrollMessages();
  if (gameScreen->showConnection(player->isConnected())) setRedraw(REDRAW_STATUS);
  handleMouse();
  gameScreen->widgets().doMe();
  if (gameScreen->myMinimap().myMessage() > 0) processMinimapClick();
  handleToolbar();
  scrollByHeldKeys();
  if (view->checkScroll()) setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  ageFlashes();
  followSelectedUnit();
  if (gameScreen->drawMessages()) setRedraw(REDRAW_MAP);
  const int parts = cGameEngine::redraw.exchange(0);
  if (parts) drawIsoScreen(parts);
  if (chat.isOpen() && (parts || chat.needsDrawing())) drawChat();
  cKeyboardHandler& keys = gameScreen->keys();
  if (keys.myMessage() <= 0) return;
  // Keys typed into the chat box wait their turn instead of being cleared away.
  if (chat.isOpen()) {
    handleChatKey(keys.lastKeyPress());
    return;
  }
  handleGameKey(keys.lastKeyPress());
  clear_keybuf();
}

void cGame::handleMouse()
{
  const cMouse& now = pointer.current;
  const cMouse& before = pointer.last;
  pointer.last = pointer.current;
  pointer.current.getPosition();
  if (now.wheel > before.wheel) increase_zoom();
  if (now.wheel < before.wheel) decrease_zoom();
  // A click that went down and up between two frames still counts, with its buttons.
  const bool pressed = now.buttons != 0 && now.buttons != before.buttons;
  const bool latched = !pressed && now.clickedSince(before);
  pointer.clickButtons = pressed ? now.buttons : now.pressedButtons;
  if ((pressed || latched) && mouseInView()) processMouseClickedInMap();
  if (now.pos != before.pos) {
    setRedraw(REDRAW_STATUS);
    if (mouseInView()) processMouseMoveInMap();
  }
}

void cGame::handleToolbar()
{
  const int item = toolbar(toolbarState).myMessage();
  switch (toolbarState) {
    case TOOLBAR_MAIN:
      processMainToolbar(item);
      if (mode == MODE_BUILD && pointer.current.buttons != 0 && mouseInView()) {
        map().clearToBuild();
        mode = MODE_SELECT;
      }
      break;
    case TOOLBAR_TO_BUILD: processToBuildToolbar(item); break;
    case TOOLBAR_BUILDING_INFO: processBuildingInfo(item); break;
    case TOOLBAR_UNIT_INFO: processUnitInfo(item); break;
  }
}

void cGame::handleGameKey(int key)
{
  const cKeyAction a = gameKeyAction(key);
  switch (a.action) {
    case KEY_ACTION_SCROLL:
      // A held arrow already scrolls every frame; only a tap comes through here alone.
      if (arrowHeld(key >> 8)) break;
      view->externalScroll(a.scroll);
      setRedraw(REDRAW_MAP);
      break;
    case KEY_ACTION_QUIT: cGameEngine::q = true; break;
    case KEY_ACTION_ZOOM_IN: increase_zoom(); break;
    case KEY_ACTION_ZOOM_OUT: decrease_zoom(); break;
    case KEY_ACTION_RELOAD_TOOLBAR: loadToolbar(); break;
    case KEY_ACTION_SCREENSHOT: takeScreenShot(); break;
    case KEY_ACTION_SELF_TEST: map().testMyMap(); break;
    case KEY_ACTION_QUICKSAVE: quickSave(); break;
    case KEY_ACTION_QUICKLOAD: quickLoad(); break;
    case KEY_ACTION_NONE: break;
  }
  context.log.flushLog();  // what a key logged is there to read at once
}

void cGame::leave()
{
  if (left) return;
  left = true;
  forgetDisplaySwitch();
  forgetSelection();
  chat.close();
  for (cToolbar& t : toolbars.bars)
    for (int i = 0; i < t.myCount(); ++i) t.clearItemsImage(i);
  destroy_bitmap(returnIcon);
  returnIcon = nullptr;
  hostLog("Exiting main engine...\n");
  context.log.flushLog();
  hideMouse();
  map().clearObjects();
  if (player->isConnected()) player->disconnect();
  gameScreen.reset();
  noObject.reset();
}

// Nothing may point into an object or a preview about to be freed.
void cGame::forgetSelection()
{
  map().clearSelection();
  map().clearToBuild();
  lastSelected = nullptr;
  selectedID = 0;
}

void cGame::changeMode()
{
  if (mode == MODE_BUILD) map().clearToBuild();
  mode = nextMode(mode);
  setRedraw(REDRAW_STATUS);
}

void cGame::increase_zoom()
{
  const int zoom = map().getZoom();
  if (zoom > 19) return;
  view->setZoom(zoom + 1);
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Increasing zoom... %i", zoom + 1);
  addMessage(text);
}

void cGame::decrease_zoom()
{
  const int zoom = map().getZoom();
  if (zoom < 2) return;
  view->setZoom(zoom - 1);
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Decreasing zoom... %i", zoom - 1);
  addMessage(text);
}

void cGame::drawIsoScreen(int parts)
{
  // A toolbar shown again was not polled while hidden: the clicks latched meanwhile (the one
  // that switched toolbars among them) are not its own.
  if ((parts & REDRAW_PANEL) && shownToolbar != toolbarState) {
    shownToolbar = toolbarState;
    toolbar(toolbarState).forgetEarlierClicks();
  }
  cIsoScreen s;
  gameScreen->describe(s);
  s.screenRect = layout.screenRect;
  s.viewArea = layout.viewArea;
  s.view = view.get();
  s.toolbars = toolbars.bars;
  s.toolbarState = toolbarState;
  s.mouse = pointer.current;
  s.mode = mode;
  s.cursorTile = cursorTile;
  s.selectedID = selectedID;
  s.version = isoVersion;
  ::drawIsoScreen(parts, s, screen);
}
