// The server and a player's game take in the same changes by the same rules. The server runs
// in this process and hears every frame from a feeding client; the game hears the same bytes
// on a socket of its own and takes them in through its turns. What the game announces in
// return (the removal of what died) goes to the server as the real player would send it.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "net/message.h"
#include "servertest.h"
#include "sim/gameplaymap.h"
#include "world/changerules.h"

namespace {

std::string w(int v) { return std::string{char((v >> 8) & 255), char(v & 255)}; }

// kind, owner, x, y, width, height, health of every object, sorted: list order depends on
// insertion history, which the comparison leaves out.
using Figures = std::tuple<int, long, int, int, int, int, int>;
std::vector<Figures> figuresOf(const cObjectList& list)
{
  std::vector<Figures> all;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) {
    const cBaseObject* o = n->myData();
    all.emplace_back(o->myID(), o->getPlayerID(), o->myPosition().x, o->myPosition().y,
                     o->myDim().x, o->myDim().y, o->getHealth());
  }
  std::sort(all.begin(), all.end());
  return all;
}

// What two maps must agree on: terrain, which cells are taken on either occupancy layer, and
// the objects.
struct MapState {
  std::vector<int> terrain, occupied;
  std::vector<Figures> buildings, units;
  bool operator==(const MapState& o) const
  {
    return terrain == o.terrain && occupied == o.occupied && buildings == o.buildings &&
           units == o.units;
  }
};

MapState stateOf(const cMap& map)
{
  MapState s;
  const cPoint size = map.getLayer(LAYER_TERRAIN)->myMaxPos();
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x) {
      s.terrain.push_back(map.getTerrain(cPoint(x, y)));
      s.occupied.push_back((map.getObject(cPoint(x, y)) != 0) * 2 +
                           (map.getUnit(cPoint(x, y)) != 0));
    }
  s.buildings = figuresOf(*map.getBuildings());
  s.units = figuresOf(*map.getUnits());
  return s;
}

// Random frames over a crowded corner of the map, with hostile ones among them: figures off
// the map or past any bound, bodies cut short or padded far past their kind, unknown tags
// and terrain layers that do not carry what they declare. (A whole terrain layer is left
// out: it replaces the server's terrain, while a game in play takes terrain only by paint.)
class FrameSource {
public:
  explicit FrameSource(unsigned seed) : random(seed) {}

  std::string next()
  {
    switch (pick(0, 3)) {
      case 0: return cutShort(change());
      case 1: return padded(change());
      case 2: return pick(0, 1) ? unknownTag() : brokenTerrain();
      default: return change();
    }
  }

private:
  std::string change()
  {
    switch (pick(0, 7)) {
      case 0:
      case 1: return frameOf(cMoveMessage(0, cell(), pick(0, 9) ? cell() : farCell()));
      case 2: return frameOf(cCreateUnitMessage(0, unit().get()));
      case 3: return frameOf(cCreateObjectMessage(0, building().get()));
      case 4: return frameOf(cMapSetMessage(0, area(), pick(0, 3) ? pick(0, 9) : pick(100, 65535)));
      case 5: return frameOf(cDamageHealMessage(0, pick(0, 3), cell(), pick(-20, 40)));
      case 6:
        return frameOf(cDamageAreaMessage(0, pick(0, 4) ? cell() : farCell(), size(), pick(0, 25)));
      default: return frameOf(cRemoveMessage(0, pick(0, 2) ? footprint() : area()));
    }
  }
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  cPoint cell()
  {
    return pick(0, 5) ? cPoint(pick(0, 12), pick(0, 12)) : cPoint(pick(90, 99), pick(90, 99));
  }
  cPoint farCell()
  {
    const int far[] = {-1, 100, 101, 300, 65535};
    return cPoint(far[pick(0, 4)], pick(0, 1) ? far[pick(0, 4)] : pick(0, 99));
  }
  cIsoPoint dim()
  {
    return pick(0, 7) ? cIsoPoint(pick(1, 3), pick(1, 3), 0)
                      : cIsoPoint(pick(0, 1) * 65535, pick(0, 2), 0);
  }
  long owner() { return pick(0, 6) ? pick(0, 2) : -1; }
  int size() { return pick(0, 5) ? pick(0, 3) : 65535; }
  std::unique_ptr<cBaseUnit> unit()
  {
    return std::unique_ptr<cBaseUnit>(
        new cBaseUnit(pick(0, 3), owner(), cell(), dim(), pick(0, 60)));
  }
  std::unique_ptr<cBaseObject> building()
  {
    return std::unique_ptr<cBaseObject>(
        new cBaseObject(pick(0, 3), owner(), cell(), dim(), pick(0, 90)));
  }
  cRect footprint()
  {
    const cPoint at = cell();
    const int side = pick(1, 3);
    return cRect(at, at + cPoint(side, side));
  }
  cRect area()
  {
    const cPoint a = pick(0, 1) ? cell() : farCell(), b = pick(0, 1) ? cell() : farCell();
    return cRect(a, b);
  }
  std::string cutShort(const std::string& frame)
  {
    return frameOf(frame.substr(2, pick(1, int(frame.size()) - 3)));
  }
  std::string padded(const std::string& frame)
  {
    return frameOf(frame.substr(2) + std::string(pick(1, 1200), char(pick(0, 255))));
  }
  std::string unknownTag()
  {
    std::string tag;
    for (int i = 0; i < 3; ++i)
      tag += char(pick('N', 'Z'));  // past "MSA", "MSG", "LST", "DIE" and "CLS"
    return frameOf(tag + "0000" + std::string(pick(0, 30), char(pick(0, 255))));
  }
  std::string brokenTerrain()
  {
    const int width = pick(0, 3) ? pick(1, 120) : 0, rows = pick(0, 3) ? pick(1, 120) : 0;
    const int carried = width * rows > 0 ? pick(0, width * rows - 1) : pick(0, 50);
    return frameOf("MAP0000TER" + w(width) + w(rows) + std::string(carried, char(pick(0, 9))));
  }

  std::mt19937 random;
};

class ChangeRules : public ServerTest {
protected:
  void SetUp() override
  {
    ServerTest::SetUp();
    ASSERT_TRUE(startServer());
    feeder.reset(new Client(port));
    std::string s, b;
    long id;
    ASSERT_TRUE(feeder->registerAs("feeder", "box", s, id));
    feeder->send(frameOf(cMapMessage(0, "???")));
    ASSERT_TRUE(feeder->readFrame(b));
    feeder->send(terrainFrame(100, 100, 1));
    game.fillTerrain(cRect(0, 0, 100, 100), 1);
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    peer = ends[1];
    player.reset(new cPlayer(1000, ends[0]));  // owns none of the objects the frames make
  }
  void TearDown() override
  {
    player.reset();
    close(peer);
    feeder.reset();
    ServerTest::TearDown();
  }

  // One frame to both; then what the game announced goes on to the server.
  void feed(const std::string& frame)
  {
    feeder->send(frame);
    if (write(peer, frame.data(), frame.size()) != ssize_t(frame.size())) return;
    game.processTurn(player.get());
    pollfd p = {peer, POLLIN, 0};
    while (poll(&p, 1, 0) > 0) {
      char buffer[4096];
      const ssize_t n = read(peer, buffer, sizeof buffer);
      if (n <= 0) break;
      feeder->send(std::string(buffer, size_t(n)));
    }
  }

  // Once the server answers a list, it has handled every frame sent before it.
  MapState serverState()
  {
    feeder->send(frameOf("LST"));
    EXPECT_EQ(feeder->readText(5000), "k=1-feeder@box player");
    MapState s;
    engine->inspectMap([&](const cMap& map) { s = stateOf(map); });
    return s;
  }

  // A unit of 30 hit points on the map's last cell, on both sides; the state that makes.
  MapState unitOnTheLastCell()
  {
    const cBaseUnit edge(1, 0, cPoint(99, 99), cIsoPoint(1, 1, 0), 30);
    feed(frameOf(cCreateUnitMessage(0, &edge)));
    return serverState();
  }

  // Feeds the frame, aimed at `cell`; server and game must both still hold `before`.
  void expectNoChangeFrom(const std::string& frame, cPoint cell, const MapState& before)
  {
    feed(frame);
    EXPECT_TRUE(serverState() == before) << cell.x << "," << cell.y;
    EXPECT_TRUE(stateOf(game) == before) << cell.x << "," << cell.y;
  }

  std::unique_ptr<Client> feeder;
  cGamePlayMap game{cPoint(100, 100)};
  std::unique_ptr<cPlayer> player;
  int peer = -1;
};

}  // namespace

TEST_F(ChangeRules, ServerAndGameEndAlikeAfterTheSameRandomFrames)
{
  int applied = 0;
  std::string traces;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    FrameSource frames(seed);
    testing::internal::CaptureStdout();  // the game's move and removal traces
    for (int i = 0; i < 250; ++i) feed(frames.next());
    traces += testing::internal::GetCapturedStdout();
    const MapState server = serverState(), client = stateOf(game);
    applied += int(client.units.size() + client.buildings.size());
    const auto cellAt =
        std::mismatch(server.terrain.begin(), server.terrain.end(), client.terrain.begin());
    ASSERT_TRUE(server.terrain == client.terrain)
        << "seed " << seed << " cell " << (cellAt.first - server.terrain.begin()) << ": "
        << *cellAt.first << " on the server, " << *cellAt.second << " in the game";
    ASSERT_TRUE(server.occupied == client.occupied) << "seed " << seed;
    ASSERT_EQ(server.buildings, client.buildings) << "seed " << seed;
    ASSERT_EQ(server.units, client.units) << "seed " << seed;
  }
  // The frames did reach both: objects stood, units moved and died along the way.
  EXPECT_GT(applied, 50);
  EXPECT_NE(traces.find("MOVE"), std::string::npos);
  EXPECT_NE(traces.find('D'), std::string::npos);
}

// Each divergence the two sides once had: the server used to take these in, the game not.
TEST_F(ChangeRules, MoveOffTheMapIsRefusedByServerAndGameAlike)
{
  const MapState before = unitOnTheLastCell();
  ASSERT_EQ(before.units.size(), 1u);
  for (cPoint to : {cPoint(300, 300), cPoint(100, 99), cPoint(99, 65535)})
    expectNoChangeFrom(frameOf(cMoveMessage(0, cPoint(99, 99), to)), to, before);
}

TEST_F(ChangeRules, BlastCentredOffTheMapHurtsNoOneOnServerOrGame)
{
  const MapState before = unitOnTheLastCell();
  ASSERT_EQ(before.units.size(), 1u);
  for (cPoint centre : {cPoint(100, 99), cPoint(65535, 65535), cPoint(99, 100)})
    expectNoChangeFrom(frameOf(cDamageAreaMessage(0, centre, 5, 10)), centre, before);
  feed(frameOf(cDamageAreaMessage(0, cPoint(99, 98), 5, 10)));  // on the map it does hurt
  EXPECT_EQ(std::get<6>(serverState().units.at(0)), 20);
  EXPECT_EQ(std::get<6>(stateOf(game).units.at(0)), 20);
}
