// The engine's side of a network game: the map exchange before the first turn.
#include <allegro.h>

#include <cstdio>

#include "client/cgameengine.h"
#include "client/ending.h"
#include "gui/mouse.h"
#include "gui/text.h"
#include "net/player.h"
#include "render/isoviewrect.h"
#include "sim/mapdownload.h"
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

// Buildings, then units, in list order, so that the occupancy numbers come out the same.
void moveObjects(cMap& from, cMap& to)
{
  while (cObjectListNode* n = from.getBuildings()->getFirstNode()) {
    cBaseObject* b = n->myData();
    if (!from.removeBuilding(b)) break;  // left to the downloaded map, which frees it
    if (!to.addBuilding(b)) delete b;
  }
  while (cObjectListNode* n = from.getUnits()->getFirstNode()) {
    auto u = static_cast<cBaseUnit*>(n->myData());
    if (!from.removeUnit(u)) break;
    if (!to.addUnit(u)) delete u;
  }
}
}  // namespace

cMap& cGameEngine::newMap(cPoint size)
{
  view = std::make_unique<cIsoViewRect>(size);
  view->setBounds(layout.viewArea);
  return map();
}

bool cGameEngine::prepareNetworkGame(cPlayer* player)
{
  exchangeLeft = false;
  player->setCancelCheck([this] {
    endIfAsked();
    while (keypressed())
      if ((readkey() >> 8) == KEY_ESC) exchangeLeft = true;
    return exchangeLeft;
  });
  connectionText = std::make_unique<cText>(
      "", cRect(SCREEN_W / 2 - 90, SCREEN_H - 14, SCREEN_W / 2 + 90, SCREEN_H), font,
      makecol(255, 255, 255), true, false, false);
  cText& notice = *connectionText;
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
    downloadMap(player, notice);
  }
  player->setCancelCheck(nullptr);
  if (!exchangeLeft) return true;
  hostLog("Map exchange left with Esc.\n");
  hostFlushLog();
  std::printf("Map exchange left with Esc.\n");
  std::fflush(stdout);
  if (player->isConnected()) player->disconnect();
  return false;
}

// The running game's map into the view; a download that stalls or is cut off leaves the
// player disconnected, to play the built-in map alone.
void cGameEngine::downloadMap(cPlayer* player, cText& notice)
{
  cMapDownload download;
  const bool complete =
      receiveMap(*player, download, cPlayer::replyBudgetMs, [&](const char* body) {
        char text[16];
        std::snprintf(text, sizeof text, "REC: %.10s", body);
        showNotice(notice, text);
      });
  if (!complete) {
    const char* why = !player->isConnected() ? "connection closed"
                      : exchangeLeft         ? "left with Esc"
                                             : "no frame in time";
    hostLog("Map download failed: %s\n", why);
    std::printf("Map download failed: %s\n", why);
    if (player->isConnected()) player->disconnect();
    return;
  }
  cMap& downloaded = *download.map();
  cMap& shown = newMap(downloaded.getMaxPos());
  shown.getLayer(LAYER_TERRAIN)->copy(downloaded.getLayer(LAYER_TERRAIN));
  moveObjects(downloaded, shown);
  renumberOccupancy(shown);
}
