// The engine's side of a network game: the map exchange before the first turn.
#include <allegro.h>

#include <cstdio>
#include <string>

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
  showGame(*download.map());
  // The texts that came during the download reach the canvas with the game's first turn.
  for (const std::string& text : download.texts()) map().keepText(text);
}
