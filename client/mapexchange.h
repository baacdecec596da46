#ifndef KORVANE_CLIENT_MAPEXCHANGE_H
#define KORVANE_CLIENT_MAPEXCHANGE_H
// The download that lets a player join a running network game: the game's terrain, its
// buildings and its units, frame by frame, up to the end mark. Single-threaded.
#include <cstdint>
#include <functional>

#include "world/pointutil.h"

class cClock;
class cMap;
class cMessage;
class cPlayer;

// Builds the downloaded map. makeMap(size) puts an empty map of that many cells in place of
// the current one and returns it: the default 100 x 100 one at the start, so that buildings or
// units sent before any terrain have a map, and one of each terrain frame's extent.
class cMapDownload {
public:
  using cMapMaker = std::function<cMap&(cPoint size)>;
  explicit cMapDownload(cMapMaker makeMap);

  // One received frame; true once the end mark came. A terrain frame that holds no cells or
  // came cut short is refused; buildings and units join by the change rules; everything else
  // is ignored (the server's map already holds it).
  bool take(const cMessage& m);
  bool complete() const { return done; }

private:
  void takeTerrain(const cMessage& m);

  cMapMaker makeMap;
  cMap* map;  // owned by whoever makeMap gives it to
  bool done = false;
};

enum eDownloadEnd { downloadComplete, downloadQuiet, downloadClosed };

// Receives frames from player into download until the end mark, until the connection closes
// (at once), or until quietLimit microseconds of clock pass without a frame. Each frame's
// first characters are shown through notice as "REC: " and at most 10 of them.
eDownloadEnd receiveMap(cPlayer& player, cMapDownload& download, cClock& clock,
                        const std::function<void(const char*)>& notice,
                        int64_t quietLimit = 5000000);

#endif
