// The engine's side of a network game: the map exchange before the first turn, and the
// connected loop's sleep on the server's socket.
#include <allegro.h>

#include <cstdio>

#include "client/cgameengine.h"
#include "client/mapexchange.h"
#include "gui/basicmouse.h"
#include "gui/mouse.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "world/host.h"

namespace {
// One line at the bottom of the screen, over whatever was there.
void showNotice(cText& notice, const char* text)
{
  notice.setText(text);
  hideMouse();
  notice.draw(screen);
  showMouse();
}

const char* downloadFailure(eDownloadEnd end)
{
  return end == downloadQuiet ? "MAP DOWNLOAD: no frame for 5 s\n"
                              : "MAP DOWNLOAD: connection closed\n";
}
}  // namespace

cMap& cGameEngine::newMap(cPoint size)
{
  delete view;
  view = new cIsoViewRect(size);
  view->setBounds(viewArea);
  return map();
}

void cGameEngine::prepareNetworkGame(cPlayer* player)
{
  cText notice("", cRect(SCREEN_W / 2 - 90, SCREEN_H - 14, SCREEN_W / 2 + 90, SCREEN_H), font,
               makecol(255, 255, 255), true, false, false);
  showNotice(notice, "Connected to server.");
  const int mapstat = player->queryMaps();
  std::printf("QUERY DONE mapstat %i\n", mapstat);
  std::fflush(stdout);
  if (mapstat == 0) {
    showNotice(notice, "Sending maps.");
    newMap(cPoint(100, 100));
    loadMap(player);
    player->sendMaps(&map());
  } else if (mapstat == 10) {
    showNotice(notice, "Receiving maps.");
    cMapDownload download([this](cPoint size) -> cMap& { return newMap(size); });
    const eDownloadEnd end = receiveMap(*player, download, clock,
                                        [&](const char* text) { showNotice(notice, text); });
    renumberOccupancy(map());
    if (end == downloadComplete) return;
    hostLog("%s", downloadFailure(end));
    std::printf("%s", downloadFailure(end));
    if (player->isConnected()) player->disconnect();
  }
}

// A frame arriving wakes the loop and is taken in at once; without a connection the loop
// sleeps on its clock alone.
void cGameEngine::sleepUntilDue(cPlayer* player)
{
  const int64_t left = pacer.nextDeadline() - clock.now();
  if (left <= 0 || !player->isConnected()) {
    pacer.sleep();
    return;
  }
  if (!player->waitForInput(left)) return;
  if (map().receiveWaiting(player)) setRedraw(REDRAW_MAP | REDRAW_WIDGETS);
  renumberOccupancy(map());
}
