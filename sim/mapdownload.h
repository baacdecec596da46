#ifndef KORVANE_SIM_MAPDOWNLOAD_H
#define KORVANE_SIM_MAPDOWNLOAD_H
// The map a joining player downloads: built from the frames that follow the server's "SND"
// (the terrain, one frame per building and unit, then the end mark "///").
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "sim/gameplaymap.h"

class cMessage;
class cPlayer;

class cMapDownload {
public:
  // Takes one frame of the download; true once the end mark came. A terrain layer replaces
  // the map with one of its size (the old map is freed first), unless it is not whole or has
  // no cells; buildings and units join the map by the change rules, on the default
  // 100 x 100 map when no terrain came before them. Texts are kept for the game.
  bool take(const cMessage& m);
  // The map so far (the default one after an end mark without terrain); null before any.
  cGamePlayMap* map() const { return downloaded.get(); }
  std::unique_ptr<cGamePlayMap> release() { return std::move(downloaded); }
  // The texts that came with the download, oldest first, as they arrived: the newest
  // maxKeptTexts of them, as many as the message canvas shows at once.
  const std::deque<std::string>& texts() const { return kept; }
  static constexpr size_t maxKeptTexts = 8;

private:
  cGamePlayMap& mapOrDefault();

  std::unique_ptr<cGamePlayMap> downloaded;
  std::deque<std::string> kept;
};

// Receives a download into `into` until its end mark. Gives up after budgetMs in which no
// frame arrived, and at once when the connection closes; true when the end mark came. Each
// received body is shown to `received` (may be empty) before it is taken.
bool receiveMap(cPlayer& p, cMapDownload& into, int budgetMs,
                const std::function<void(const char* body)>& received = nullptr);

#endif
