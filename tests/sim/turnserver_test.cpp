// Two game maps, each with its own player, playing through the real korvaned.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "net/message.h"
#include "sim/builtinmap.h"
#include "sim/gameplaymap.h"
#include "support/serverprocess.h"
#include "turnsupport.h"

namespace {

// Reads the server's map transfer until its end mark, as the engine does after "SND".
bool download(cGamePlayMap& map, cPlayer& p)
{
  std::vector<char> buffer(20000);
  for (int polls = 0; polls < 200000; ++polls) {
    std::fill(buffer.begin(), buffer.end(), 0);
    int r = p.recvMessageNonBlocking(buffer.data(), int(buffer.size()) - 1);
    if (r == 0) return false;
    if (r < 0) continue;
    const cDecodeMessage decoded(buffer.data(), int(buffer.size()) - 1);
    const cMessage* m = decoded.realMessage();
    if (m->getType() == mtMap) {
      auto mm = static_cast<const cMapMessage*>(m);
      if (!std::strcmp(mm->type(), "///")) return true;
      if (!std::strcmp(mm->type(), "TER")) map.getLayer(LAYER_TERRAIN)->copy(mm->maplayer());
    } else if (m->getType() == mtCreateObject) {
      auto b = new cBaseObject();
      b->copy(static_cast<const cCreateObjectMessage*>(m)->getObject());
      if (!map.addBuilding(b)) delete b;
    } else if (m->getType() == mtCreateUnit) {
      auto u = new cBaseUnit();
      u->copy(static_cast<const cCreateUnitMessage*>(m)->getUnit());
      if (!map.addUnit(u)) delete u;
    }
  }
  return false;
}

class ServerGame : public InTempDir {
protected:
  void SetUp() override
  {
    InTempDir::SetUp();
    ASSERT_NE(std::getenv("KORVANE_BUILD"), nullptr) << "ctest names the build folder";
    ASSERT_TRUE(server.startOnFreePort()) << server.err();
    port = server.port();
  }
  void TearDown() override
  {
    a.reset();
    b.reset();
    server.kill(SIGTERM);
    InTempDir::TearDown();
  }
  std::unique_ptr<cPlayer> join(const char* name)
  {
    std::unique_ptr<cPlayer> p(new cPlayer(-1));
    p->setPlayerInfo(name, "turnhost");
    if (!p->connectTo("127.0.0.1", short(port))) p.reset();
    return p;
  }
  // A joins first and uploads the built-in map; B joins and downloads it. The handshake's
  // progress lines are kept off the test's output.
  bool startGame()
  {
    testing::internal::CaptureStdout();
    bool ok = (a = join("ann")) && a->queryMaps() == 0;
    if (ok) {
      loadBuiltinMap(mapA, a->myID());
      a->sendMaps(&mapA);
      // The upload has no answer: wait until the server has taken in its last unit.
      ok = waitForLines("Player: CRU \n", mapA.getUnits()->number()) && (b = join("bob")) &&
           b->queryMaps() == 10 && download(mapB, *b);
    }
    testing::internal::GetCapturedStdout();
    renumber(mapA);
    renumber(mapB);
    return ok;
  }
  // Waits up to 5 s for the server to print a line count times.
  bool waitForLines(const std::string& line, int count)
  {
    for (int i = 0; i < 500; ++i) {
      const std::string out = fileText("server.out");
      int seen = 0;
      for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1)) ++seen;
      if (seen >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Turns of both maps (each followed by the view's renumbering) until done() holds.
  bool playUntil(const std::function<bool()>& done, int limit = 400)
  {
    testing::internal::CaptureStdout();
    bool reached = false;
    for (int turn = 0; turn < limit && !reached; ++turn) {
      mapA.processTurn(a.get());
      mapB.processTurn(b.get());
      renumber(mapA);
      renumber(mapB);
      reached = done();
      if (!reached) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    traces += testing::internal::GetCapturedStdout();
    return reached;
  }
  static const cBaseObject* at(const cGamePlayMap& map, cPoint cell)
  {
    return map._getObject(cell);
  }
  static int healthAt(const cGamePlayMap& map, cPoint cell)
  {
    const cBaseObject* o = at(map, cell);
    return o ? o->getHealth() : -1;
  }

  TurnCatalogue catalogue;
  cServerProcess server{"server.out", "server.err"};
  int port = 0;
  cGamePlayMap mapA{cPoint(100, 100)}, mapB{cPoint(100, 100)};
  std::unique_ptr<cPlayer> a, b;
  std::string traces;
};
}  // namespace

TEST_F(ServerGame, ChangesMadeOnOneMapShowUpOnTheOtherAndBothEndAlike)
{
  ASSERT_TRUE(startGame());
  ASSERT_NE(a->myID(), b->myID());
  ASSERT_EQ(figures(*mapB.getUnits()), figures(*mapA.getUnits()));

  // A move, one cell per turn on A and one received frame per turn on B.
  mapA.addSelection(const_cast<cBaseObject*>(at(mapA, cPoint(15, 15))));
  mapA.moveSelection(a.get(), cPoint(25, 20));
  EXPECT_TRUE(playUntil([&] { return at(mapB, cPoint(25, 20)) != nullptr; }));
  EXPECT_EQ(at(mapB, cPoint(15, 15)), nullptr);

  // A unit and a building created, terrain painted under the building, the unit healed.
  auto unit = new cBaseUnit(2, a->myID(), cPoint(40, 40), cIsoPoint(1, 1, 1));  // 15 of 30
  ASSERT_TRUE(mapA.createUnit(a.get(), unit));
  auto farm = new cBaseObject(3, a->myID(), cPoint(44, 40), cIsoPoint(2, 2, 1));
  ASSERT_TRUE(mapA.createBuilding(a.get(), farm));
  EXPECT_TRUE(playUntil([&] { return at(mapB, cPoint(44, 40)) != nullptr; }));
  EXPECT_EQ(healthAt(mapB, cPoint(40, 40)), 15);
  mapA.clearSelection();
  mapA.addSelection(farm);
  mapA.setTerrainUnderSelection(a.get(), 7);
  EXPECT_TRUE(playUntil([&] { return mapB.getTerrain(cPoint(45, 41)) == 7; }));
  mapA.clearSelection();
  mapA.addSelection(unit);
  mapA.damageSelection(a.get(), -5);
  EXPECT_TRUE(playUntil([&] { return healthAt(mapB, cPoint(40, 40)) == 20; }));
  mapA.damageSelection(a.get(), -15);  // capped at the kind's 30 on A: so on B too
  EXPECT_TRUE(playUntil([&] { return healthAt(mapB, cPoint(40, 40)) != 20; }));
  EXPECT_EQ(healthAt(mapB, cPoint(40, 40)), 30);

  // B's unit, created on B, is shot by A's: the blasts reach B, and both remove it.
  ASSERT_TRUE(
      mapB.createUnit(b.get(), new cBaseUnit(1, b->myID(), cPoint(30, 22), cIsoPoint(1, 1, 1))));
  EXPECT_TRUE(playUntil([&] { return at(mapA, cPoint(30, 22)) != nullptr; }));
  mapA.clearSelection();
  mapA.addSelection(const_cast<cBaseObject*>(at(mapA, cPoint(25, 20))));
  mapA.attackWithSelection(a.get(), cPoint(30, 22));
  EXPECT_TRUE(playUntil([&] { return healthAt(mapB, cPoint(30, 22)) == 13; }));
  EXPECT_TRUE(playUntil([&] { return !at(mapA, cPoint(30, 22)) && !at(mapB, cPoint(30, 22)); }));

  // A building removed on A.
  mapA.clearSelection();
  mapA.addSelection(farm);
  mapA.damageSelection(a.get(), 1000);
  EXPECT_TRUE(playUntil([&] { return at(mapB, cPoint(44, 40)) == nullptr; }));

  playUntil([] { return false; }, 50);  // let anything still under way settle
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(mapA.getTerrain(cPoint(x, y)), mapB.getTerrain(cPoint(x, y))) << x << "," << y;
  EXPECT_EQ(figures(*mapA.getUnits()), figures(*mapB.getUnits()));
  EXPECT_EQ(figures(*mapA.getBuildings()), figures(*mapB.getBuildings()));
  EXPECT_EQ(mapA.getUnits()->number(), 5);
  EXPECT_EQ(mapA.getBuildings()->number(), 6);
  EXPECT_NE(traces.find('D'), std::string::npos);
}
