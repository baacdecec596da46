#include "client/cgameengine.h"

#include <allegro.h>
#include <cstdio>

#include "client/context.h"
#include "client/ending.h"
#include "client/game.h"
#include "gui/guicollection.h"
#include "gui/mouse.h"
#include "gui/text.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "render/screenshot.h"
#include "world/host.h"

bool cGameEngine::q = false;
std::atomic<int> cGameEngine::redraw{0};

cGameEngine::cGameEngine(cClientContext& context, cClock& clock)
    : context(context), clock(clock), layout(screenLayout(SCREEN_W, SCREEN_H))
{
  hostLog("cGameEngine().\n");
  context.log.open("a");
  q = false;
  context.startGame();
  newMap(cPoint(100, 100));
  hostLog("Successfully Initilised Game Class\n");
}

cGameEngine::~cGameEngine() { delete gui; }

cIsoView& cGameEngine::map() { return view->getView(); }

void cGameEngine::engine(cPlayer* player)
{
  setEndingPlayer(player);
  if (std::unique_ptr<cGame> game = beginGame(player))
    game->run();
  else
    delete player;  // left during the map exchange: back to the main menu
  setEndingPlayer(nullptr);
}

std::unique_ptr<cGame> cGameEngine::beginGame(cPlayer* player)
{
  delete gui;
  gui = nullptr;
  if (player->isConnected() && !prepareNetworkGame(player)) return nullptr;
  if (!player->isConnected()) {
    newMap(cPoint(100, 100));
    loadMap(player);
  }
  printf("%%");
  fflush(stdout);
  // A connected player whose server answered neither way plays on an empty map.
  if (!view) newMap(cPoint(100, 100));
  return std::make_unique<cGame>(context, clock, toolbars, player, std::move(view));
}

bool cGameEngine::screenShot() { return takeScreenShot(); }

bool takeScreenShot()
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
