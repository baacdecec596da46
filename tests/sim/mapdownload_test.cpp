// The download a joining player takes in: which frames make or change its map, and how long
// the player waits for them.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "net/message.h"
#include "sim/mapdownload.h"
#include "support/frames.h"
#include "turnsupport.h"

namespace {

std::string w(int v) { return std::string{char((v >> 8) & 255), char(v & 255)}; }

std::string terrain(int width, int height, char cell)
{
  cMapLayer layer(cPoint(width, height));
  for (int i = 0; i < width * height; ++i) layer.place(long(i), cell);
  return frameOf(cMapMessage(0, "TER", &layer));
}

std::string unit(cPoint at)
{
  return frameOf(
      cCreateUnitMessage(0, std::make_unique<cBaseUnit>(1, 2, at, cIsoPoint(1, 1, 0), 20).get()));
}
std::string building(cPoint at)
{
  return frameOf(cCreateObjectMessage(
      0, std::make_unique<cBaseObject>(3, 2, at, cIsoPoint(2, 2, 0), 50).get()));
}
const std::string endMark = frameOf(cMapMessage(0, "///"));

// Takes the frames in order; answers whether the last one ended the download.
bool takeAll(cMapDownload& d, const std::vector<std::string>& frames)
{
  bool done = false;
  for (const std::string& f : frames) {
    const cDecodeMessage m(f.data() + 2, int(f.size()) - 2);
    done = d.take(*m.realMessage());
  }
  return done;
}

}  // namespace

TEST(MapDownload, TerrainMakesTheMapObjectsJoinItAndOnlyAWholeLayerCounts)
{
  const struct {
    const char* what;
    std::vector<std::string> frames;
    bool done;
    cPoint size;
    int units, buildings, cornerTerrain;
  } cases[] = {
      {"terrain, objects, end",
       {terrain(20, 10, 3), building(cPoint(2, 2)), unit(cPoint(9, 9)), endMark},
       true,
       cPoint(20, 10),
       1,
       1,
       3},
      {"objects off a small map",
       {terrain(5, 5, 3), unit(cPoint(9, 9)), building(cPoint(4, 4))},
       false,
       cPoint(5, 5),
       0,
       0,
       3},
      {"a unit before any terrain", {unit(cPoint(50, 50))}, false, cPoint(100, 100), 1, 0, 0},
      {"an end mark alone", {endMark}, true, cPoint(100, 100), 0, 0, 0},
      {"a second terrain replaces the first",
       {terrain(20, 10, 3), unit(cPoint(1, 1)), terrain(30, 40, 4)},
       false,
       cPoint(30, 40),
       0,
       0,
       4},
      {"a layer of no cells",
       {terrain(20, 10, 3), frameOf("MAP0000TER" + w(0) + w(0))},
       false,
       cPoint(20, 10),
       0,
       0,
       3},
      {"a layer cut short",
       {terrain(20, 10, 3), frameOf("MAP0000TER" + w(50) + w(50) + std::string(100, '\x05'))},
       false,
       cPoint(20, 10),
       0,
       0,
       3},
  };
  for (const auto& c : cases) {
    cMapDownload d;
    EXPECT_EQ(takeAll(d, c.frames), c.done) << c.what;
    ASSERT_NE(d.map(), nullptr) << c.what;
    EXPECT_EQ(d.map()->getMaxPos(), c.size) << c.what;
    EXPECT_EQ(d.map()->getLayer(LAYER_TERRAIN)->myMaxPos(), c.size) << c.what;
    EXPECT_EQ(d.map()->getUnits()->number(), c.units) << c.what;
    EXPECT_EQ(d.map()->getBuildings()->number(), c.buildings) << c.what;
    EXPECT_EQ(d.map()->getTerrain(cPoint(0, 0)), c.cornerTerrain) << c.what;
  }
  cMapDownload none;
  EXPECT_FALSE(takeAll(none, {frameOf("MAP0000TER" + w(0) + w(7))}));
  EXPECT_EQ(none.map(), nullptr);
}

// Texts from the server may arrive between the map's frames: they change no map, and the
// newest of them wait for the game, where they read like any text received in play.
TEST(MapDownload, TextsAmongTheFramesAreKeptForTheGameNewestLast)
{
  const auto text = [](const std::string& t) { return frameOf(cTextMessage(0, -1, t.c_str())); };
  std::vector<std::string> frames{text("before the terrain"), terrain(20, 10, 3),
                                  unit(cPoint(9, 9)),
                                  text("a\x01"
                                       "bell")};
  const int more = int(cMapDownload::maxKeptTexts);
  for (int i = 0; i < more; ++i) frames.push_back(text("line " + std::to_string(i)));
  frames.push_back(endMark);
  cMapDownload d;
  EXPECT_TRUE(takeAll(d, frames));
  ASSERT_NE(d.map(), nullptr);
  EXPECT_EQ(d.map()->getMaxPos(), cPoint(20, 10));
  EXPECT_EQ(d.map()->getUnits()->number(), 1);
  ASSERT_EQ(d.texts().size(), cMapDownload::maxKeptTexts);
  EXPECT_EQ(d.texts().front(), "line 0");
  EXPECT_EQ(d.texts().back(), "line " + std::to_string(more - 1));

  cMapDownload few;
  EXPECT_TRUE(takeAll(few, {text("a\x01"
                                 "bell"),
                            text("second"), endMark}));
  cGamePlayMap game(cPoint(5, 5));
  for (const std::string& t : few.texts()) game.keepText(t);
  std::string taken;
  ASSERT_TRUE(game.takeText(taken));
  EXPECT_EQ(taken, "a?bell");
  ASSERT_TRUE(game.takeText(taken));
  EXPECT_EQ(taken, "second");
  EXPECT_FALSE(game.takeText(taken));
}

class MapReceive : public WiredPlayer {
protected:
  MapReceive() : WiredPlayer(1) {}
  // Runs the server's side on a thread while the download is received; the time it took.
  long long receive(const std::function<void()>& server, bool& done,
                    std::vector<std::string>& shown)
  {
    std::thread side(server);
    const auto begin = std::chrono::steady_clock::now();
    done =
        receiveMap(*player, download, 800, [&](const char* body) { shown.emplace_back(body, 3); });
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - begin);
    side.join();
    return ms.count();
  }

  cMapDownload download;
};

TEST_F(MapReceive, PausesWithinTheBudgetAreWaitedOut)
{
  bool done = false;
  std::vector<std::string> shown;
  const long long ms = receive(
      [&] {
        send(terrain(100, 100, 2));
        for (int i = 0; i < 3; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(500));  // each pause under 800 ms
          send(unit(cPoint(10 + i, 10)));
        }
        send(endMark);
      },
      done, shown);
  EXPECT_TRUE(done);
  EXPECT_GE(ms, 1400);
  EXPECT_EQ(shown, (std::vector<std::string>{"MAP", "CRU", "CRU", "CRU", "MAP"}));
  EXPECT_EQ(download.map()->getUnits()->number(), 3);
}

TEST_F(MapReceive, AClosedConnectionEndsTheWaitAtOnceASilentOneAfterTheBudget)
{
  bool done = true;
  std::vector<std::string> shown;
  long long ms = receive(
      [&] {
        send(terrain(10, 10, 2));
        close(peer);
        peer = -1;
      },
      done, shown);
  EXPECT_FALSE(done);
  EXPECT_LT(ms, 400);
  EXPECT_FALSE(player->isConnected());

  MapReceive::TearDown();
  MapReceive::SetUp();
  ms = receive([&] { send(terrain(10, 10, 2)); }, done, shown);
  EXPECT_FALSE(done);
  EXPECT_GE(ms, 750);
  EXPECT_LT(ms, 3000);
}
