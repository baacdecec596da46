#include "client/cgameengine.h"

#include <allegro.h>
#include <loadpng.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "addons/jpegload.h"
#include "client/enginerules.h"
#include "client/globals.h"
#include "client/logfile.h"
#include "gui/button.h"
#include "gui/fonts.h"
#include "gui/framepacer.h"
#include "gui/guicollection.h"
#include "net/player.h"
#include "render/catalogueimages.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "render/screenshot.h"
#include "world/host.h"
#include "world/metadatabase.h"

bool cGameEngine::q = false;
std::atomic<int> cGameEngine::redraw{0};

cGameEngine::cGameEngine(cClock& clock)
    : clock(clock), pacer(clock), toolbars{cToolbar(7), cToolbar(6), cToolbar(6), cToolbar(6)}
{
  hostLog("cGameEngine().\n");
  open_log("a");
  q = false;
  toolbarHeight = SCREEN_W / 6;
  screenRect = cRect(0, 0, SCREEN_W, SCREEN_H);
  viewArea = cRect(0, 15, SCREEN_W, SCREEN_H - toolbarHeight - 5);
  gameFont = loadTimesOrDefault(12);
  metaList = readCatalogue(metaData).release();
  metaImages = new cCatalogueImages(*metaList);
  view = new cIsoViewRect(cPoint(100, 100));
  view->setBounds(viewArea);
  messageBitmap = create_bitmap(viewArea.myWidth(), viewArea.myHeight() / 8);
  clear_bitmap(messageBitmap);
  scratch = create_bitmap(SCREEN_W, SCREEN_H);
  hostLog("Successfully Initilised Game Class\n");
}

cGameEngine::~cGameEngine()
{
  delete view;
  delete metaImages;
  metaImages = nullptr;
  delete metaList;
  metaList = nullptr;
  destroy_bitmap(messageBitmap);
  destroy_bitmap(scratch);
  releaseFont(gameFont);
}

cIsoView& cGameEngine::map() { return view->getView(); }

bool cGameEngine::mouseInView() const { return view->getBounds().includes(currentMouse.pos); }

cPoint cGameEngine::viewPoint() const { return currentMouse.pos - viewArea.topLeft; }

void cGameEngine::addMessage(const char* text) { messages.addText(text); }

// ---- one game

void cGameEngine::engine(cPlayer* player)
{
  beginGame(player);
  while (!q) runPass(player);
  endGame(player);
}

void cGameEngine::beginGame(cPlayer* player)
{
  currentPlayer = player;
  delete gui;
  gui = nullptr;
  if (player->isConnected()) prepareNetworkGame(player);
  if (!player->isConnected()) {
    newMap(cPoint(100, 100));
    loadMap(player);
  }
  printf("%%");
  fflush(stdout);
  buildGameScreen();
  welcome();
  watchDisplaySwitch();
  currentMouse.getPosition();
  lastMouse = currentMouse;
  shownToolbar = 0;
  connected = false;
  pacer.restart();
}

void cGameEngine::buildGameScreen()
{
  gui = new cGUICollection();
  cButton* quit = new cButton(0, cRect(SCREEN_W - 13, 1, SCREEN_W - 1, 15), nullptr, "X");
  quit->setText("X", makecol(244, 198, 90), gameFont);
  quit->setHandler(buttonQuitEvent);
  gui->addElement(quit);
  for (cToolbar& t : toolbars) gui->addElement(false, &t);
  const int panelHeight = SCREEN_H - viewArea.bottom();
  minimap = new cMinimap(cPoint(SCREEN_W - 5 - panelHeight, viewArea.bottom() + 2),
                         cPoint(SCREEN_W - 5, SCREEN_H - 2), map().getLayer(LAYER_OBJECTS),
                         map().getLayer(LAYER_UNITS), map().getLayer(LAYER_TERRAIN));
  gui->addElement(minimap);
  indicator = new cButton(0, cRect(SCREEN_W - 27, 1, SCREEN_W - 14, 15), nullptr, "-");
  indicator->setTextColour(makecol(255, 0, 0));
  indicator->disable();
  gui->addElement(false, indicator);
  keyboard = new cKeyboardHandler();
  gui->addElement(false, keyboard);
}

void cGameEngine::welcome()
{
  noObject = new cBaseObject(0);
  lastSelected = noObject;
  redraw = REDRAW_ALL;
  selectedID = 0;
  char text[160];
  addMessage("Welcome to Tarvix Dunmarch.");
  snprintf(text, sizeof text, "%s Version %s", korvaneName, isoVersion);
  addMessage(text);
  snprintf(text, sizeof text, "Compiled %s", compileDate);
  addMessage(text);
  q = false;
  mode = 1;
  buildType = 1;
  toolbarState = 1;
  returnIcon = load_png(hostDataFile("return.png").c_str(), nullptr);
  if (!returnIcon) {
    // Without the file the back items show an empty icon, never uninitialised pixels.
    returnIcon = create_bitmap(100, 100);
    clear_bitmap(returnIcon);
  }
  panelBackground = load_jpeg(hostDataFile("tarvix.dat#global_background1").c_str(), nullptr);
  ticks = 0;
  loadToolbar();
  hostLog("Entering main engine...\n");
  close_log();
  clear_keybuf();
  showMouse();
  open_log("a");
}

void cGameEngine::watchDisplaySwitch()
{
  hostLog("set: %i\n", set_display_switch_mode(SWITCH_BACKGROUND));
  hostLog("in: %i\n", set_display_switch_callback(SWITCH_IN, display_switch_callback));
  hostLog("out: %i\n", set_display_switch_callback(SWITCH_OUT, display_switch_callback_out));
  hostLog("%s\n!", std::string(50, '!').c_str());
  close_log();
  open_log("a");
}

void cGameEngine::forgetDisplaySwitch()
{
  remove_display_switch_callback(display_switch_callback);
  remove_display_switch_callback(display_switch_callback_out);
  cHotSpotRect::setSwitchedOut(false);
}

void cGameEngine::runPass(cPlayer* player)
{
  sleepUntilDue(player);
  for (int turns = pacer.turnsDue(); turns > 0; --turns) runTurn(player);
  if (pacer.frameDue()) runFrame(player);
}

void cGameEngine::runTurn(cPlayer* player)
{
  ++ticks;
  if (ticks % 1000 != 0 && map().processTurnDraining(player))
    setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  // Clicks resolve through the occupancy numbers: they must never be a turn old.
  renumberOccupancy(map());
}

void cGameEngine::runFrame(cPlayer* player)
{
  messages.doMe();
  handleConnectionState(player);
  handleMouse(player);
  gui->doMe();
  if (minimap->myMessage() > 0) processMinimapClick();
  handleToolbar(player);
  if (view->checkScroll()) setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  drawMessages();
  const int parts = redraw.exchange(0);
  if (parts) drawIsoScreen(parts);
  if (keyboard->myMessage() > 0) {
    handleGameKey(keyboard->lastKeyPress());
    clear_keybuf();
  }
}

void cGameEngine::handleConnectionState(cPlayer* player)
{
  if (player->isConnected() == connected) return;
  connected = !connected;
  if (connected) {
    addMessage("Connected to server..");
    indicator->setTextText("+");
    indicator->setTextColour(makecol(0, 0, 255));
  } else {
    addMessage("Not connected to server.");
    indicator->setTextText("-");
    indicator->setTextColour(makecol(255, 0, 0));
  }
  indicator->setRedraw();
  setRedraw(REDRAW_STATUS);
}

void cGameEngine::handleMouse(cPlayer* player)
{
  lastMouse = currentMouse;
  currentMouse.getPosition();
  if (currentMouse.wheel > lastMouse.wheel) increase_zoom();
  if (currentMouse.wheel < lastMouse.wheel) decrease_zoom();
  // A click that went down and up between two frames still counts, with its buttons.
  const bool pressed = currentMouse.buttons != 0 && currentMouse.buttons != lastMouse.buttons;
  const bool latched = !pressed && currentMouse.clickedSince(lastMouse);
  clickButtons = pressed ? currentMouse.buttons : currentMouse.pressedButtons;
  if ((pressed || latched) && mouseInView()) processMouseClickedInMap(player);
  if (currentMouse.pos != lastMouse.pos) {
    setRedraw(REDRAW_STATUS);
    if (mouseInView()) processMouseMoveInMap();
  }
}

void cGameEngine::handleToolbar(cPlayer* player)
{
  const int item = toolbars[toolbarState - 1].myMessage();
  switch (toolbarState) {
    case 1:
      processMainToolbar(item, player);
      if (mode == 2 && currentMouse.buttons != 0 && mouseInView()) {
        map().clearToBuild();
        mode = 1;
      }
      break;
    case 2: processToBuildToolbar(item); break;
    case 3: processBuildingInfo(item, player); break;
    case 4: processUnitInfo(item, player); break;
    default: break;
  }
}

void cGameEngine::drawMessages()
{
  if (!messages.hasChanged()) return;
  messages.draw(messageBitmap);
  setRedraw(REDRAW_MAP);
}

void cGameEngine::handleGameKey(int key)
{
  const cKeyAction a = gameKeyAction(key);
  switch (a.action) {
    case KEY_ACTION_SCROLL:
      view->externalScroll(a.scroll);
      setRedraw(REDRAW_MAP);
      break;
    case KEY_ACTION_QUIT: q = true; break;
    case KEY_ACTION_ZOOM_IN: increase_zoom(); break;
    case KEY_ACTION_ZOOM_OUT: decrease_zoom(); break;
    case KEY_ACTION_RELOAD_TOOLBAR: loadToolbar(); break;
    case KEY_ACTION_SCREENSHOT: screenShot(); break;
    case KEY_ACTION_SELF_TEST: map().testMyMap(); break;
    case KEY_ACTION_NONE: break;
  }
  if (fp) fflush(fp);  // what a key logged is there to read at once
}

void cGameEngine::endGame(cPlayer* player)
{
  forgetDisplaySwitch();
  forgetSelection();
  for (cToolbar& t : toolbars)
    for (int i = 0; i < t.myCount(); ++i) t.clearItemsImage(i);
  destroy_bitmap(returnIcon);
  returnIcon = nullptr;
  if (panelBackground) destroy_bitmap(panelBackground);
  panelBackground = nullptr;
  hostLog("Exiting main engine...\n");
  if (fp) fflush(fp);
  hideMouse();
  map().clearObjects();
  if (player->isConnected()) player->disconnect();
  delete gui;
  gui = nullptr;
  minimap = nullptr;
  delete indicator;
  indicator = nullptr;
  delete keyboard;
  keyboard = nullptr;
  delete connectionText;
  connectionText = nullptr;
  delete noObject;
  noObject = nullptr;
  currentPlayer = nullptr;
  delete player;
}

// Nothing may point into an object or a preview about to be freed.
void cGameEngine::forgetSelection()
{
  map().clearSelection();
  map().clearToBuild();
  lastSelected = nullptr;
  selectedID = 0;
}

// ---- modes, zoom, screenshot

void cGameEngine::changeMode()
{
  if (mode == 2) map().clearToBuild();
  mode = nextMode(mode);
  setRedraw(REDRAW_STATUS);
}

void cGameEngine::increase_zoom()
{
  const int zoom = map().getZoom();
  if (zoom > 19) return;
  view->setZoom(zoom + 1);
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Increasing zoom... %i", zoom + 1);
  addMessage(text);
}

void cGameEngine::decrease_zoom()
{
  const int zoom = map().getZoom();
  if (zoom < 2) return;
  view->setZoom(zoom - 1);
  setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  char text[40];
  snprintf(text, sizeof text, "Decreasing zoom... %i", zoom - 1);
  addMessage(text);
}

bool cGameEngine::screenShot()
{
  hideMouse();
  BITMAP* whole = create_sub_bitmap(screen, 0, 0, SCREEN_W, SCREEN_H);
  const bool saved = whole && save_screenshot("dump.png", whole);
  if (whole) destroy_bitmap(whole);
  BITMAP* strip = create_bitmap(SCREEN_W, 20);
  blit(screen, strip, 0, SCREEN_H - 20, 0, 0, SCREEN_W, 20);
  textout_centre_ex(screen, font,
                    saved ? "Screenshot taken. Press any key to continue..." : "Screenshot failed.",
                    SCREEN_W / 2, SCREEN_H - 10, makecol(160, 160, 255), -1);
  showMouse();
  waitForKey();
  hideMouse();
  blit(strip, screen, 0, 0, 0, SCREEN_H - 20, SCREEN_W, 20);
  showMouse();
  destroy_bitmap(strip);
  return saved;
}

// ---- callbacks

void cGameEngine::buttonQuitEvent(long message)
{
  if (message == 1) q = true;
}

void cGameEngine::display_switch_callback()
{
  printf("back!\n");
  fflush(stdout);
  cHotSpotRect::setSwitchedOut(false);
  redraw = REDRAW_ALL;
}

void cGameEngine::display_switch_callback_out()
{
  // The pointer stays where the player left it; edge scrolling waits for the switch back.
  printf("bye\n");
  fflush(stdout);
  cHotSpotRect::setSwitchedOut(true);
}

void cGameEngine::drawIsoScreen(int parts)
{
  // A toolbar shown again was not polled while hidden: the clicks latched meanwhile (the one
  // that switched toolbars among them) are not its own.
  if ((parts & REDRAW_PANEL) && shownToolbar != toolbarState) {
    shownToolbar = toolbarState;
    if (toolbarState >= 1 && toolbarState <= 4) toolbars[toolbarState - 1].forgetEarlierClicks();
  }
  cIsoScreen s;
  s.scratch = scratch;
  s.screenRect = screenRect;
  s.viewArea = viewArea;
  s.view = view;
  s.gui = gui;
  s.toolbars = toolbars;
  s.toolbarState = toolbarState;
  s.minimap = minimap;
  s.mouse = currentMouse;
  s.mode = mode;
  s.cursorTile = cursorTile;
  s.selectedID = selectedID;
  s.panelBackground = panelBackground;
  s.messageBitmap = messageBitmap;
  s.version = isoVersion;
  ::drawIsoScreen(parts, s, screen);
}
