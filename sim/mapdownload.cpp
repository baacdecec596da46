#include "sim/mapdownload.h"

#include <cstring>
#include <vector>

#include "net/message.h"
#include "net/player.h"
#include "world/changerules.h"

namespace {
const cPoint defaultMapSize(100, 100);
const int maxFrameBody = 65535;
}  // namespace

cGamePlayMap& cMapDownload::mapOrDefault()
{
  if (!downloaded) downloaded.reset(new cGamePlayMap(defaultMapSize));
  return *downloaded;
}

bool cMapDownload::take(const cMessage& m)
{
  switch (m.getType()) {
    case mtMap: {
      auto& map = static_cast<const cMapMessage&>(m);
      if (!std::strncmp(map.type(), "///", 3)) {
        mapOrDefault();
        return true;
      }
      if (!std::strncmp(map.type(), "TER", 3) && map.carriesWholeLayer()) {
        downloaded.reset();
        downloaded.reset(new cGamePlayMap(map.maplayer()->myMaxPos()));
        downloaded->getLayer(LAYER_TERRAIN)->copy(map.maplayer());
      }
      return false;
    }
    case mtCreateObject:
      applyCreateBuilding(mapOrDefault(), *static_cast<const cCreateObjectMessage&>(m).getObject());
      return false;
    case mtCreateUnit:
      applyCreateUnit(mapOrDefault(), *static_cast<const cCreateUnitMessage&>(m).getUnit());
      return false;
    case mtText:
      if (kept.size() >= maxKeptTexts) kept.pop_front();
      kept.emplace_back(static_cast<const cTextMessage&>(m).getMessage());
      return false;
    default: return false;
  }
}

bool receiveMap(cPlayer& p, cMapDownload& into, int budgetMs,
                const std::function<void(const char* body)>& received)
{
  std::vector<char> buffer(maxFrameBody + 1);
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), 0);
    int polls = 0;
    if (p.receiveWithin(buffer.data(), maxFrameBody, budgetMs, polls) <= 0) return false;
    if (received) received(buffer.data());
    const cDecodeMessage decoded(buffer.data(), p.lastBodyLength());
    if (into.take(*decoded.realMessage())) return true;
  }
}
