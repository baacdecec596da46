#include "client/game.h"

#include <allegro.h>
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

cGame::cGame(cClientContext& context, cClock& clock, cGameToolbars& bars, cPlayer* player,
             std::unique_ptr<cIsoViewRect> view)
    : session(context, player, std::move(view)),
      clock(clock),
      pacer(clock),
      chat(session),
      viewControl(session, clock),
      toolbars(session, choices, bars, chat),
      input(session, choices, toolbars, viewControl)
{
  session.showScreen(bars);
  viewControl.openOnOwnForces();
  welcome();
  watchDisplaySwitch();
  pacer.restart();
}

cGame::~cGame() { leave(); }

void cGame::run()
{
  while (!cGameEngine::q) runPass();
  leave();
}

// A frame arriving wakes the loop and is taken in at once; without a connection the loop
// sleeps on its clock alone.
void cGame::sleepUntilDue()
{
  const int64_t wait = pacer.nextDeadline() - clock.now();
  cPlayer& player = *session.player;
  if (wait <= 0 || !player.isConnected()) {
    pacer.sleep();
    return;
  }
  // Whole milliseconds, rounded up: waking before the deadline would only wait again.
  if (!player.waitForData(int((wait + 999) / 1000))) return;
  if (map().receiveWaiting(&player)) cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  renumberOccupancy(map());
}

void cGame::welcome()
{
  cGameEngine::redraw = cGameEngine::REDRAW_ALL;
  char text[160];
  session.addMessage("Welcome to Tarvix Dunmarch.");
  snprintf(text, sizeof text, "%s Version %s", korvaneName, isoVersion);
  session.addMessage(text);
  snprintf(text, sizeof text, "Compiled %s", compileDate);
  session.addMessage(text);
  cGameEngine::q = false;
  toolbars.loadToolbar();
  hostLog("Entering main engine...\n");
  session.context.log.close();
  clear_keybuf();
  showMouse();
  session.context.log.open("a");
}

void cGame::watchDisplaySwitch()
{
  cClientLog& log = session.context.log;
  hostLog("set: %i\n", set_display_switch_mode(SWITCH_BACKGROUND));
  hostLog("in: %i\n", set_display_switch_callback(SWITCH_IN, cGameEngine::display_switch_callback));
  hostLog("out: %i\n",
          set_display_switch_callback(SWITCH_OUT, cGameEngine::display_switch_callback_out));
  hostLog("%s\n!", std::string(50, '!').c_str());
  log.close();
  log.open("a");
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
  const int64_t turn = ++session.ticks;
  if (turn % 1000 != 0 && map().processTurnDraining(session.player.get()))
    cGameEngine::setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  viewControl.collectBlasts();
  // Clicks resolve through the occupancy numbers: they must never be a turn old.
  renumberOccupancy(map());
}

void cGame::runFrame()
{
  cGameScreen& screen = *session.screen;
  chat.showReceivedTexts();
  screen.scrollMessages();
  if (screen.showConnection(session.player->isConnected())) cGameEngine::setRedraw(REDRAW_STATUS);
  input.readMouse();
  screen.widgets().doMe();
  if (screen.myMinimap().myMessage() > 0) input.processMinimapClick();
  toolbars.processShownToolbar(input.pressedInView());
  viewControl.scrollByHeldKeys();
  viewControl.scrollByEdges();
  viewControl.ageFlashes();
  toolbars.followSelectedUnit();
  if (screen.drawMessages()) cGameEngine::setRedraw(REDRAW_MAP);
  const int parts = cGameEngine::redraw.exchange(0);
  if (parts) drawIsoScreen(parts);
  chat.redrawOver(parts);
  handleKeys();
}

void cGame::handleKeys()
{
  cKeyboardHandler& keys = session.screen->keys();
  if (keys.myMessage() <= 0) return;
  // Keys typed into the chat box wait their turn instead of being cleared away.
  if (chat.isOpen()) {
    chat.handleKey(keys.lastKeyPress());
    return;
  }
  handleGameKey(keys.lastKeyPress());
  clear_keybuf();
}

void cGame::handleGameKey(int key)
{
  const cKeyAction a = gameKeyAction(key);
  switch (a.action) {
    case KEY_ACTION_SCROLL: viewControl.scrollByTap(key >> 8, a.scroll); break;
    case KEY_ACTION_QUIT: cGameEngine::q = true; break;
    case KEY_ACTION_ZOOM_IN: viewControl.increase_zoom(); break;
    case KEY_ACTION_ZOOM_OUT: viewControl.decrease_zoom(); break;
    case KEY_ACTION_RELOAD_TOOLBAR: toolbars.loadToolbar(); break;
    case KEY_ACTION_SCREENSHOT: takeScreenShot(); break;
    case KEY_ACTION_SELF_TEST: map().testMyMap(); break;
    case KEY_ACTION_QUICKSAVE: quickSave(); break;
    case KEY_ACTION_QUICKLOAD: quickLoad(); break;
    case KEY_ACTION_NONE: break;
  }
  session.context.log.flushLog();  // what a key logged is there to read at once
}

void cGame::leave()
{
  if (left) return;
  left = true;
  forgetDisplaySwitch();
  input.forgetSelection();
  chat.close();
  toolbars.release();
  hostLog("Exiting main engine...\n");
  session.context.log.flushLog();
  hideMouse();
  map().clearObjects();
  if (session.player->isConnected()) session.player->disconnect();
  session.screen.reset();
}

void cGame::drawIsoScreen(int parts)
{
  toolbars.beforeDrawing(parts);
  cIsoScreen s;
  session.screen->describe(s);
  s.screenRect = session.layout.screenRect;
  s.viewArea = session.layout.viewArea;
  s.view = session.view.get();
  s.toolbars = toolbars.myToolbars().bars;
  s.toolbarState = choices.toolbarState;
  s.mouse = input.myPointer();
  s.mode = choices.mode;
  s.cursorTile = choices.cursorTile;
  s.selectedID = choices.selectedID;
  s.version = isoVersion;
  ::drawIsoScreen(parts, s, screen);
}
