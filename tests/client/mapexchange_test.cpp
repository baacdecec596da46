// The joining player's map download: frames written by the test on the other end of a socket
// pair stand for the server's.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "client/mapexchange.h"
#include "client/pacing.h"
#include "net/message.h"
#include "net/player.h"
#include "support/frames.h"
#include "support/testdirectory.h"
#include "world/map.h"

namespace {
// The maps a download made, the current one last; what each received frame showed.
class MapDownload : public testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(directory.ok());
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    peer = ends[1];
    player.reset(new cPlayer(1, ends[0]));
  }
  void TearDown() override
  {
    player.reset();
    if (peer >= 0) close(peer);
  }

  cMapDownload download()
  {
    return cMapDownload([this](cPoint size) -> cMap& {
      maps.emplace_back(new cMap(size));
      return *maps.back();
    });
  }
  void send(const std::string& frame) { ASSERT_EQ(write(peer, frame.data(), frame.size()), ssize_t(frame.size())); }
  eDownloadEnd receive(cMapDownload& d, int64_t quietLimit)
  {
    return receiveMap(*player, d, steadyClock(), [this](const char* t) { notices.push_back(t); },
                      quietLimit);
  }
  cMap& current() { return *maps.back(); }

  cTestDirectory directory;
  int peer = -1;
  std::unique_ptr<cPlayer> player;
  std::vector<std::unique_ptr<cMap>> maps;
  std::vector<std::string> notices;
};

cMapLayer terrain(cPoint size, int kind)
{
  cMapLayer layer(size);
  layer.fill(cRect(cPoint(0, 0), size), kind);
  return layer;
}

std::string building(int kind, long owner, cPoint at)
{
  cBaseObject b(kind, owner, at, cIsoPoint(2, 2, 0), 500);
  return frameOf(cCreateObjectMessage(0, &b));
}

std::string unit(long owner, cPoint at)
{
  cBaseUnit u(1, owner, at, cIsoPoint(1, 1, 0), 100);
  return frameOf(cCreateUnitMessage(0, &u));
}

std::string terrainFrame(cPoint size, int kind)
{
  const cMapLayer layer = terrain(size, kind);
  return frameOf(cMapMessage(0, "TER", &layer));
}

const std::string endMark = frameOf(cMapMessage(0, "///"));
}  // namespace

TEST_F(MapDownload, TerrainReplacesTheMapAndEverythingBeforeItHasTheDefaultMap)
{
  struct Case {
    const char* what;
    std::vector<std::string> frames;
    std::vector<cPoint> mapsMade;  // the default map first
    int buildings, units;          // on the current map at the end
    int terrainAt00;
    cPoint unitAt;  // of the first unit, when there is one
  } cases[] = {
      {"buildings and units before any terrain", {building(2, 1, cPoint(3, 4)), unit(1, cPoint(9, 9))},
       {cPoint(100, 100)}, 1, 1, 0, cPoint(9, 9)},
      {"terrain, then a building and a unit",
       {terrainFrame(cPoint(30, 20), 5), building(2, 1, cPoint(3, 4)), unit(1, cPoint(29, 19))},
       {cPoint(100, 100), cPoint(30, 20)}, 1, 1, 5, cPoint(29, 19)},
      {"a second terrain drops the first map's objects",
       {terrainFrame(cPoint(30, 20), 5), building(2, 1, cPoint(3, 4)), terrainFrame(cPoint(40, 40), 6)},
       {cPoint(100, 100), cPoint(30, 20), cPoint(40, 40)}, 0, 0, 6, cPoint()},
      {"terrain of no cells is refused", {frameOf("MAP0000TER"), building(2, 1, cPoint(3, 4))},
       {cPoint(100, 100)}, 1, 0, 0, cPoint()},
      {"terrain cut short is refused",
       {frameOf(std::string("MAP0000TER\0\x1e\0\x14", 14) + std::string(20, '\x05'))},
       {cPoint(100, 100)}, 0, 0, 0, cPoint()},
      {"a unit off the map is refused", {terrainFrame(cPoint(10, 10), 1), unit(1, cPoint(10, 3))},
       {cPoint(100, 100), cPoint(10, 10)}, 0, 0, 1, cPoint()},
      {"moves and blasts are left to the game",
       {unit(1, cPoint(9, 9)), frameOf(cMoveMessage(0, cPoint(9, 9), cPoint(9, 10)))},
       {cPoint(100, 100)}, 0, 1, 0, cPoint(9, 9)},
  };
  for (const Case& c : cases) {
    maps.clear();
    cMapDownload d = download();
    for (const std::string& f : c.frames) {
      const cDecodeMessage decoded(const_cast<char*>(f.data()) + 2, int(f.size()) - 2);
      EXPECT_FALSE(d.take(*decoded.realMessage())) << c.what;
    }
    ASSERT_EQ(maps.size(), c.mapsMade.size()) << c.what;
    for (size_t i = 0; i < maps.size(); ++i) EXPECT_EQ(maps[i]->getMaxPos(), c.mapsMade[i]) << c.what;
    EXPECT_EQ(current().getBuildings()->number(), c.buildings) << c.what;
    EXPECT_EQ(current().getUnits()->number(), c.units) << c.what;
    EXPECT_EQ(current().getTerrain(cPoint(0, 0)), c.terrainAt00) << c.what;
    if (c.units) {
      EXPECT_EQ(current().getUnits()->getFirstNode()->myData()->myPosition(), c.unitAt) << c.what;
    }
    const cDecodeMessage end(const_cast<char*>(endMark.data()) + 2, int(endMark.size()) - 2);
    EXPECT_TRUE(d.take(*end.realMessage())) << c.what;
    EXPECT_TRUE(d.complete()) << c.what;
  }
}

TEST_F(MapDownload, EndsAtTheEndMarkShowingTenCharactersOfEachFrame)
{
  send(terrainFrame(cPoint(100, 100), 2) + building(3, 1, cPoint(6, 6)) + unit(1, cPoint(50, 50)) +
       endMark + unit(1, cPoint(51, 51)));
  cMapDownload d = download();
  EXPECT_EQ(receive(d, 5000000), downloadComplete);
  EXPECT_EQ(notices, (std::vector<std::string>{"REC: MAP0000TER", "REC: CRE0000", "REC: CRU0000",
                                               "REC: MAP0000///"}));
  EXPECT_EQ(current().getUnits()->number(), 1);  // the frame after the end mark is the game's
  EXPECT_EQ(current().getBuildings()->number(), 1);
}

TEST_F(MapDownload, StopsAtOnceWhenTheServerLeavesAndAfterTheQuietLimitWhenItIsSilent)
{
  struct Case {
    const char* what;
    bool closeAfterFrame;
    int64_t quietLimit;
    eDownloadEnd end;
    int64_t atLeast, below;  // microseconds
  } cases[] = {
      {"closed after one frame", true, 5000000, downloadClosed, 0, 1000000},
      {"silent after one frame", false, 300000, downloadQuiet, 300000, 2000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    send(terrainFrame(cPoint(20, 20), 1));
    if (c.closeAfterFrame) {
      close(peer);
      peer = -1;
    }
    cMapDownload d = download();
    const int64_t start = steadyClock().now();
    EXPECT_EQ(receive(d, c.quietLimit), c.end);
    const int64_t took = steadyClock().now() - start;
    EXPECT_GE(took, c.atLeast);
    EXPECT_LT(took, c.below);
    EXPECT_EQ(current().getMaxPos(), cPoint(20, 20));
  }
}
