// The player's saved games in-process under the test's own Xvfb: F5 and F9 in a local game,
// a save that cannot be read, a network game refusing to load, and a loaded game uploaded.
#include <gtest/gtest.h>

#include <allegro.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "client/clientsuite.h"
#include "gui/canvas.h"
#include "net/message.h"
#include "net/savegame.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "support/frames.h"
#include "support/testdirectory.h"
#include "support/testgames.h"
#include "world/changerules.h"
#include "world/map.h"

namespace {
const std::string header = "KORVANE-SAVE 1 0.26.20\n";

// A 250 x 250 game with 200 objects, saved as "quicksave.kvs"; its bytes.
std::string saveBigGame()
{
  cMap map(cPoint(250, 250));
  fillTestGame(map, 200);
  std::string bytes, reason;
  EXPECT_TRUE(encodeSavedGame(map, bytes));
  EXPECT_TRUE(writeSavedGame("quicksave.kvs", bytes, reason)) << reason;
  return bytes;
}
}  // namespace

// An engine and a local game on the built-in map at 640 x 480, 16 bits, started and ready for
// its first pass.
class cSavedGameTest : public cClientTest {
protected:
  void SetUp() override
  {
    cClientTest::SetUp();
    if (HasFatalFailure()) return;
    engine = std::make_unique<cGameEngine>(*context, clock);
    begin(new cPlayer());
  }
  void TearDown() override
  {
    game.reset();
    engine.reset();
    context->startingGame.clear();  // the context outlives the test
    cClientTest::TearDown();
  }
  void begin(cPlayer* p)
  {
    game.reset();
    testing::internal::CaptureStdout();
    game = engine->beginGame(p);
    testing::internal::GetCapturedStdout();
  }
  // The game being played as a saved game would hold it.
  std::string current()
  {
    std::string bytes;
    EXPECT_TRUE(encodeSavedGame(game->map(), bytes));
    return bytes;
  }
  bool pressKey(int scancode)
  {
    testing::internal::CaptureStdout();
    game->handleGameKey(scancode << 8);
    return !testing::internal::GetCapturedStdout().empty();
  }
  std::string lastMessage()
  {
    const cQueueNode* last = game->myMessages().head;
    while (last && last->getNext()) last = last->getNext();
    return last ? last->myData() : "";
  }
  const cMapLayer* minimapTerrain() { return game->myScreen().myMinimap().myTerrain(); }

  std::unique_ptr<cGameEngine> engine;
  std::unique_ptr<cGame> game;
};

TEST_F(cSavedGameTest, QuickSaveThenQuickLoadBringsBackTheSavedGame)
{
  const std::string saved = current();
  EXPECT_TRUE(pressKey(KEY_F5));
  EXPECT_EQ(lastMessage(), "Game saved in quicksave.kvs.");
  EXPECT_TRUE(fileText("quicksave.kvs") == saved);

  game->map().placeTerrain(cPoint(3, 3), 5);
  ASSERT_TRUE(
      applyRemove(game->map(), game->map().getUnits()->getFirstNode()->myData()->toRectArea()));
  ASSERT_NE(current(), saved);
  EXPECT_TRUE(pressKey(KEY_F9));
  EXPECT_EQ(lastMessage(), "Game loaded from quicksave.kvs.");
  EXPECT_TRUE(current() == saved);

  // A game of another size: the screen follows the new map and the game goes on.
  const std::string big = saveBigGame();
  EXPECT_TRUE(pressKey(KEY_F9));
  EXPECT_TRUE(current() == big);
  EXPECT_EQ(minimapTerrain(), game->map().getLayer(LAYER_TERRAIN));
  for (int i = 0; i < 20; ++i) game->runPass();
  EXPECT_TRUE(current() == big) << "the loaded game changed by itself";
}

TEST_F(cSavedGameTest, ASaveThatCannotBeReadLeavesTheGameAsItWas)
{
  const std::string good = current();
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"missing", "", "No such file or directory"},
      {"garbage", "these are not the frames you are looking for", "not a saved game"},
      {"cut short", good.substr(0, good.size() - 5), "cut short"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink("quicksave.kvs");
    if (!c.bytes.empty()) writeFile("quicksave.kvs", c.bytes);
    pressKey(KEY_F9);
    const std::string message = lastMessage();
    EXPECT_EQ(message.rfind("Could not load quicksave.kvs: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_EQ(message.substr(message.size() - 19), ". The game goes on.") << message;
    EXPECT_TRUE(current() == good);
  }
}

TEST_F(cSavedGameTest, ANetworkGameRefusesToLoad)
{
  saveBigGame();
  const std::string before = current();
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  const std::string waiting = frameOf(cMapMessage(0, "SND")) + current().substr(header.size());
  ASSERT_EQ(write(ends[1], waiting.data(), waiting.size()), ssize_t(waiting.size()));
  begin(new cPlayer(2, ends[0]));  // joins a game that is the one being played
  ASSERT_TRUE(current() == before);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(game->quickLoad());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(lastMessage(), "A network game cannot load a saved game.");
  EXPECT_TRUE(current() == before);
  close(ends[1]);
}

// Hosting after a load: what the server receives after its "REC" is the loaded game's frames.
TEST_F(cSavedGameTest, TheFirstPlayerUploadsTheLoadedGame)
{
  const std::string big = saveBigGame();
  ASSERT_TRUE(pressKey(KEY_F9));
  game.reset();
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  const std::string rec = frameOf(cMapMessage(0, "REC"));
  ASSERT_EQ(write(ends[1], rec.data(), rec.size()), ssize_t(rec.size()));
  const std::string expected = frameOf(cMapMessage(0, "???")) + big.substr(header.size());
  std::string sent;
  // The upload is larger than a socket holds: it is read while the engine sends it.
  std::thread server([&] {
    char chunk[65536];
    while (sent.size() < expected.size()) {
      pollfd p = {ends[1], POLLIN, 0};
      const ssize_t n = poll(&p, 1, 10000) > 0 ? recv(ends[1], chunk, sizeof chunk, 0) : 0;
      if (n <= 0) return;
      sent.append(chunk, size_t(n));
    }
  });
  begin(new cPlayer(2, ends[0]));
  server.join();
  EXPECT_TRUE(sent == expected);
  EXPECT_TRUE(current() == big);
  close(ends[1]);
}
