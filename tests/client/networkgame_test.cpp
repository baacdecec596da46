// The engine's network game in-process under the test's own Xvfb: its player is connected to
// a socket the test holds, so frames written there come from "the server" and what the
// engine sends is read back.
#include <gtest/gtest.h>

#include <allegro.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "client/clientsuite.h"
#include "net/message.h"
#include "render/isoviewrect.h"
#include "support/frames.h"

namespace {
std::string terrain(cPoint size, int kind)
{
  cMapLayer layer(size);
  layer.fill(cRect(cPoint(0, 0), size), kind);
  return frameOf(cMapMessage(0, "TER", &layer));
}
std::string unitAt(cPoint at)
{
  cBaseUnit u(1, 9, at, cIsoPoint(1, 1, 0), 100);
  return frameOf(cCreateUnitMessage(0, &u));
}
std::string buildingAt(cPoint at)
{
  cBaseObject b(2, 9, at, cIsoPoint(2, 2, 0), 500);
  return frameOf(cCreateObjectMessage(0, &b));
}
const std::string snd = frameOf(cMapMessage(0, "SND"));
const std::string rec = frameOf(cMapMessage(0, "REC"));
const std::string endMark = frameOf(cMapMessage(0, "///"));
}  // namespace

// An engine at 640 x 480, 16 bits, with the build's data files; the player's socket pair.
class cNetworkGameTest : public cClientTest {
protected:
  void SetUp() override
  {
    cClientTest::SetUp();
    if (HasFatalFailure()) return;
    engine = std::make_unique<cGameEngine>(*context, clock);
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    peer = ends[1];
    player = new cPlayer(2, ends[0]);
  }
  void TearDown() override
  {
    if (!game) delete player;
    game.reset();
    player = nullptr;
    engine.reset();
    cClientTest::TearDown();
    close(peer);
  }
  // Starts the game with these frames waiting; answers what it printed.
  std::string begin(const std::string& waiting)
  {
    EXPECT_EQ(write(peer, waiting.data(), waiting.size()), ssize_t(waiting.size()));
    testing::internal::CaptureStdout();
    game = engine->beginGame(player);
    return testing::internal::GetCapturedStdout();
  }
  // The tags of the frames the engine sent so far, counted.
  std::map<std::string, int> sentTags()
  {
    std::map<std::string, int> tags;
    std::string bytes;
    char chunk[65536];
    for (ssize_t n; (n = recv(peer, chunk, sizeof chunk, MSG_DONTWAIT)) > 0;)
      bytes.append(chunk, size_t(n));
    for (size_t at = 0; at + 2 <= bytes.size();) {
      const size_t length = (unsigned char)bytes[at] * 256u + (unsigned char)bytes[at + 1];
      const std::string tag = bytes.substr(at + 2, 3);
      ++tags[tag == "MAP" ? "MAP" + bytes.substr(at + 9, 3) : tag];
      at += length < 2 ? bytes.size() : length;
    }
    return tags;
  }
  cIsoView& map() { return game->map(); }
  const char* notice() { return engine->connectionNotice()->myText(); }
  void sleepUntilDue() { game->sleepUntilDue(); }

  std::unique_ptr<cGameEngine> engine;
  cPlayer* player = nullptr;  // the game's, once it began
  std::unique_ptr<cGame> game;
  int peer = -1;
};

TEST_F(cNetworkGameTest, TheFirstPlayerUploadsTheBuiltInMap)
{
  const std::string out = begin(rec);
  EXPECT_NE(out.find("QUERY DONE mapstat 0\n"), std::string::npos);
  EXPECT_NE(out.find('%'), std::string::npos);
  EXPECT_TRUE(player->isConnected());
  const std::map<std::string, int> expected = {
      {"MAP???", 1}, {"MAPTER", 1}, {"CRE", 6}, {"CRU", 4}, {"MAP///", 1}};
  EXPECT_EQ(sentTags(), expected);
  EXPECT_EQ(map().getBuildings()->number(), 6);
}

TEST_F(cNetworkGameTest, ALaterPlayerPlaysOnTheDownloadedMap)
{
  // The end mark carries a long text after it: the notice shows ten characters of the body.
  const std::string out =
      begin(snd + terrain(cPoint(30, 20), 3) + buildingAt(cPoint(4, 4)) + unitAt(cPoint(12, 7)) +
            frameOf("MAP0000///" + std::string(60, 'x')));
  EXPECT_NE(out.find("QUERY DONE mapstat 10\n"), std::string::npos);
  EXPECT_TRUE(player->isConnected());
  EXPECT_EQ(map().getMaxPos(), cPoint(30, 20));
  EXPECT_EQ(map().getTerrain(cPoint(29, 19)), 3);
  EXPECT_EQ(map().getBuildings()->number(), 1);
  ASSERT_EQ(map().getUnits()->number(), 1);
  EXPECT_EQ(map().getUnits()->getFirstNode()->myData()->myPosition(), cPoint(12, 7));
  EXPECT_EQ(map().getUnit(cPoint(12, 7)), 1) << "occupancy numbered for clicks";
  EXPECT_EQ(map().getObject(cPoint(5, 5)), 1);
  EXPECT_STREQ(notice(), "REC: MAP0000///");
}

TEST_F(cNetworkGameTest, AFailedDownloadLeavesTheBuiltInMapToPlayAlone)
{
  struct Case {
    const char* what;
    bool closeAfterTerrain;
    const char* printed;
  } cases[] = {
      {"the server leaves", true, "Map download failed: connection closed\n"},
      {"the server falls silent", false, "Map download failed: no frame in time\n"},
  };
  const int budget = cPlayer::replyBudgetMs;
  cPlayer::replyBudgetMs = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    const std::string frames = snd + terrain(cPoint(30, 20), 3);
    ASSERT_EQ(write(peer, frames.data(), frames.size()), ssize_t(frames.size()));
    if (c.closeAfterTerrain) shutdown(peer, SHUT_WR);
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    game = engine->beginGame(player);
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(c.printed), std::string::npos) << out;
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_FALSE(player->isConnected());
    EXPECT_EQ(map().getMaxPos(), cPoint(100, 100));
    EXPECT_EQ(map().getBuildings()->number(), 6);
  }
  cPlayer::replyBudgetMs = budget;
}

// Between two deadlines the loop sleeps on the socket: a frame arriving is applied at once,
// and with none it sleeps until the deadline instead of returning early.
TEST_F(cNetworkGameTest, AFrameArrivingWakesTheLoopAndIsApplied)
{
  begin(snd + terrain(cPoint(20, 20), 1) + unitAt(cPoint(5, 5)) + endMark);
  game->runPass();  // the first turn and frame: the next deadline is a frame away
  const std::string move = frameOf(cMoveMessage(0, cPoint(5, 5), cPoint(6, 5)));
  ASSERT_EQ(write(peer, move.data(), move.size()), ssize_t(move.size()));
  cGameEngine::redraw = 0;
  testing::internal::CaptureStdout();
  sleepUntilDue();
  EXPECT_NE(testing::internal::GetCapturedStdout().find("MOVE (5,5)-(6,5)"), std::string::npos);
  EXPECT_EQ(map().getUnits()->getFirstNode()->myData()->myPosition(), cPoint(6, 5));
  EXPECT_EQ(map().getUnit(cPoint(6, 5)), 1);
  EXPECT_EQ(cGameEngine::redraw.load() & 20, 20);

  const auto start = std::chrono::steady_clock::now();
  sleepUntilDue();
  const auto slept = std::chrono::steady_clock::now() - start;
  EXPECT_GE(slept, std::chrono::milliseconds(15)) << "the frame period is 16.7 ms";
  EXPECT_LT(slept, std::chrono::milliseconds(500));
}
