#include "client/mapexchange.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "client/pacing.h"
#include "net/message.h"
#include "net/player.h"
#include "world/changerules.h"
#include "world/map.h"

namespace {
// A frame's body is at most this long; one more byte keeps a zero after any of them.
constexpr int maxFrameBody = 65535;
}  // namespace

cMapDownload::cMapDownload(cMapMaker maker) : makeMap(std::move(maker)), map(&makeMap(cPoint(100, 100)))
{
}

bool cMapDownload::take(const cMessage& m)
{
  switch (m.getType()) {
    case mtMap:
      if (!std::strncmp(static_cast<const cMapMessage&>(m).type(), "///", 3)) done = true;
      else takeTerrain(m);
      break;
    case mtCreateObject:
      applyCreateBuilding(*map, *static_cast<const cCreateObjectMessage&>(m).getObject());
      break;
    case mtCreateUnit:
      applyCreateUnit(*map, *static_cast<const cCreateUnitMessage&>(m).getUnit());
      break;
    default: break;
  }
  return done;
}

void cMapDownload::takeTerrain(const cMessage& m)
{
  const cMapMessage& terrain = static_cast<const cMapMessage&>(m);
  if (std::strncmp(terrain.type(), "TER", 3) || !terrain.carriesWholeLayer()) return;
  map = &makeMap(terrain.maplayer()->myMaxPos());
  map->getLayer(LAYER_TERRAIN)->copy(terrain.maplayer());
}

eDownloadEnd receiveMap(cPlayer& player, cMapDownload& download, cClock& clock,
                        const std::function<void(const char*)>& notice, int64_t quietLimit)
{
  std::vector<char> body(maxFrameBody + 1);
  int64_t quietUntil = clock.now() + quietLimit;
  while (!download.complete()) {
    const int r = player.recvMessageNonBlocking(body.data(), maxFrameBody);
    if (r == 0) return downloadClosed;
    if (r < 0) {
      const int64_t left = quietUntil - clock.now();
      if (left <= 0) return downloadQuiet;
      player.waitForInput(left);
      continue;
    }
    const int length = player.lastBodyLength();
    body[length] = 0;  // the notice reads the body as text
    char text[16];
    std::snprintf(text, sizeof text, "REC: %.10s", body.data());
    notice(text);
    download.take(*cDecodeMessage(body.data(), length).realMessage());
    quietUntil = clock.now() + quietLimit;
  }
  return downloadComplete;
}
