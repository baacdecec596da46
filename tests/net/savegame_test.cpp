#include "net/savegame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "net/message.h"
#include "net/player.h"
#include "nettest.h"
#include "support/frames.h"
#include "support/testdirectory.h"
#include "support/testgames.h"
#include "world/changerules.h"
#include "world/map.h"

namespace {

using SavedGame = NetTest;

const std::string header = "KORVANE-SAVE 1 0.26.20\n";

std::string saveOf(const cMap& map)
{
  std::string bytes;
  EXPECT_TRUE(encodeSavedGame(map, bytes));
  return bytes;
}

bool exists(const std::string& name)
{
  struct stat info;
  return stat(name.c_str(), &info) == 0;
}

// Every object's figures, in list order: what a download carries.
std::string figuresOf(const cObjectList& list)
{
  std::string out;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) {
    const cBaseObject* o = n->myData();
    out += std::to_string(o->myID()) + "/" + std::to_string(o->getPlayerID()) + "@" +
           std::to_string(o->myPosition().x) + "," + std::to_string(o->myPosition().y) + ":" +
           std::to_string(o->myDim().x) + "x" + std::to_string(o->myDim().y) + "+" +
           std::to_string(o->getHealth()) + " ";
  }
  return out;
}

void expectSameGame(const cMap& want, const cMap& got)
{
  ASSERT_EQ(want.getMaxPos(), got.getMaxPos());
  const cMapLayer& a = *want.getLayer(LAYER_TERRAIN);
  const cMapLayer& b = *got.getLayer(LAYER_TERRAIN);
  int differing = 0;
  for (int i = 0; i < a.cellCount(); ++i) differing += a.get(long(i)) != b.get(long(i));
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(figuresOf(*want.getBuildings()), figuresOf(*got.getBuildings()));
  EXPECT_EQ(figuresOf(*want.getUnits()), figuresOf(*got.getUnits()));
  for (int y = 0; y < want.getMaxPos().y; ++y)
    for (int x = 0; x < want.getMaxPos().x; ++x) {
      ASSERT_EQ(want.getObject(cPoint(x, y)) != 0, got.getObject(cPoint(x, y)) != 0);
      ASSERT_EQ(want.getUnit(cPoint(x, y)) != 0, got.getUnit(cPoint(x, y)) != 0);
    }
}

// A 100 x 100 game with three buildings and three units: small enough to damage in every way.
std::unique_ptr<cMap> smallGame()
{
  std::unique_ptr<cMap> map(new cMap(cPoint(100, 100)));
  EXPECT_EQ(fillTestGame(*map, 6), 6);
  return map;
}

// The offsets where the frames of a saved game start, and its end.
std::vector<size_t> frameStarts(const std::string& bytes)
{
  std::vector<size_t> starts;
  for (size_t at = header.size(); at < bytes.size();
       at += size_t(cMessage::wDecode(bytes.data() + at)))
    starts.push_back(at);
  starts.push_back(bytes.size());
  return starts;
}

}  // namespace

TEST_F(SavedGame, EveryGameComesBackAsItWasSavedThroughAFile)
{
  struct Case {
    const char* name;
    cPoint size;
    int objects;
  };
  const Case cases[] = {{"100 x 100 without objects", cPoint(100, 100), 0},
                        {"small", cPoint(100, 100), 6},
                        {"250 x 250 with 5000 objects", cPoint(250, 250), 5000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cMap map(c.size);
    ASSERT_EQ(fillTestGame(map, c.objects), c.objects);
    const std::string bytes = saveOf(map);
    ASSERT_EQ(bytes.compare(0, header.size(), header), 0);
    std::string reason;
    ASSERT_TRUE(writeSavedGame("game.kvs", bytes, reason)) << reason;
    bool missing = true;
    std::unique_ptr<cMap> loaded = readSavedGame("game.kvs", reason, missing);
    ASSERT_TRUE(loaded) << reason;
    EXPECT_FALSE(missing);
    expectSameGame(map, *loaded);
    EXPECT_TRUE(saveOf(*loaded) == bytes);
  }
}

// The frames after the first line are what a player uploading the same map sends.
TEST_F(SavedGame, FramesAreTheDownloadByteForByte)
{
  std::unique_ptr<cMap> map = smallGame();
  SocketPair pair;
  cPlayer sender(0, pair.take(pair.a));
  std::string sent;
  std::thread reader([&] {
    char buffer[4096];
    ssize_t r;
    while ((r = read(pair.b, buffer, sizeof buffer)) > 0) sent.append(buffer, size_t(r));
  });
  sender.sendMaps(map.get());
  sender.disconnectQueue();
  reader.join();
  EXPECT_TRUE(saveOf(*map) == header + sent);
}

// A copy owns what it took: painting, moving, healing and removing on the map afterwards
// leave it encoding the game as it stood.
TEST_F(SavedGame, ACopyKeepsTheGameAsItWasWhenTaken)
{
  std::unique_ptr<cMap> map = smallGame();
  const std::string before = saveOf(*map);
  cGameCopy game;
  game.take(*map);
  EXPECT_TRUE(applyPaint(*map, cRect(0, 0, 100, 100), 5));
  EXPECT_TRUE(applyMove(*map, cPoint(3, 3), cPoint(2, 2)));
  map->getBuildings()->getFirstNode()->myData()->setHealth(1);
  EXPECT_TRUE(applyRemove(*map, cRect(4, 0, 6, 2)));
  ASSERT_NE(saveOf(*map), before);
  std::string bytes;
  ASSERT_TRUE(game.encode(bytes));
  EXPECT_TRUE(bytes == before);
}

TEST_F(SavedGame, EveryDamagedFileIsRefusedWhole)
{
  const std::string good = saveOf(*smallGame());
  const std::vector<size_t> starts = frameStarts(good);
  ASSERT_EQ(starts.size(), 9u);  // terrain, six objects, end mark, end of file
  struct Case {
    std::string name, bytes, reason;
  };
  std::vector<Case> cases;
  for (size_t k = 0; k + 1 < starts.size(); ++k) {
    const size_t at = starts[k], next = starts[k + 1];
    const std::string frame = "frame " + std::to_string(k + 1);
    cases.push_back({"cut before " + frame, good.substr(0, at), "cut short before"});
    for (size_t inside : {at + 1, at + 2, at + 3, (at + next) / 2, next - 1})
      cases.push_back({"cut inside " + frame + " at " + std::to_string(inside - at),
                       good.substr(0, inside), inside == at + 1 ? "before" : "inside"});
  }
  const std::string body = good.substr(header.size());
  const std::string terrain = good.substr(starts[0], starts[1] - starts[0]);
  const std::string objects = good.substr(starts[1], starts[7] - starts[1]);
  const std::string end = good.substr(starts[7]);
  const auto withFrameAt = [&](size_t k, const std::string& frame) {
    return good.substr(0, starts[k]) + frame + good.substr(starts[k]);
  };
  std::string tallTerrain = terrain;
  cMessage::wEncode(&tallTerrain[14], 101);  // declares a row more than it carries
  const cBaseObject offMap(1, 0, cPoint(100, 5), cIsoPoint(1, 1, 0), 10);
  cases.insert(
      cases.end(),
      {
          {"empty", "", "not a saved game"},
          {"another file", "GIF89a\n" + body, "not a saved game"},
          {"first line without its break", header.substr(0, header.size() - 1), "cut short"},
          {"another format", "KORVANE-SAVE 2 0.26.20\n" + body, "unknown save format"},
          {"another version", "KORVANE-SAVE 1 0.26.19\n" + body, "version 0.26.19"},
          {"a frame of length 0", withFrameAt(1, std::string(2, '\0')), "length 0"},
          {"a frame of length 1", withFrameAt(1, std::string("\0\1", 2)), "length 1"},
          {"terrain declaring more rows", header + tallTerrain + objects + end, "whole layer"},
          {"no terrain", header + objects + end, "not the terrain"},
          {"a second terrain", withFrameAt(1, terrain), "no part of a map"},
          {"a move among the objects", withFrameAt(2, frameOf(cMoveMessage(0, cPoint(), cPoint()))),
           "no part of a map"},
          {"a building off the map", withFrameAt(1, frameOf(cCreateObjectMessage(0, &offMap))),
           "off the map"},
          {"a building frame a byte too long",
           withFrameAt(1, frameOf(std::string("CRE0000", 7) + std::string(17, '\0'))),
           "wrong length"},
          {"bytes after the end mark", good + "x", "after the end mark"},
          {"a frame after the end mark", good + objects.substr(0, 25), "after the end mark"},
      });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string reason;
    EXPECT_FALSE(decodeSavedGame(c.bytes, reason));
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    writeFile("damaged.kvs", c.bytes);
    bool missing = true;
    EXPECT_FALSE(readSavedGame("damaged.kvs", reason, missing));
    EXPECT_FALSE(missing);
  }
  std::string reason;
  EXPECT_TRUE(decodeSavedGame(good, reason)) << reason;
}

TEST_F(SavedGame, WritingReplacesTheFileAndLeavesNothingBeside)
{
  std::string reason;
  writeFile("game.kvs", "the old game");
  ASSERT_TRUE(writeSavedGame("game.kvs", saveOf(*smallGame()), reason)) << reason;
  EXPECT_TRUE(readFile("game.kvs") == saveOf(*smallGame()));
  EXPECT_FALSE(exists("game.kvs.tmp"));

  EXPECT_FALSE(writeSavedGame("no/such/folder/game.kvs", "bytes", reason));
  EXPECT_NE(reason.find("no/such/folder/game.kvs.tmp"), std::string::npos) << reason;

  bool missing = false;
  EXPECT_FALSE(readSavedGame("nothing.kvs", reason, missing));
  EXPECT_TRUE(missing);
  EXPECT_FALSE(readSavedGame(".", reason, missing));
  EXPECT_FALSE(missing);
}

TEST_F(SavedGame, SettingAsideTakesTheFirstFreeNameAndKeepsEveryFile)
{
  std::string reason;
  const char* const names[] = {"state.bad", "state.bad.1", "state.bad.2"};
  for (int n = 0; n < 3; ++n) {
    writeFile("state", "garbage " + std::to_string(n));
    EXPECT_EQ(setAsideSavedGame("state", reason), names[n]) << reason;
    EXPECT_FALSE(exists("state"));
  }
  for (int n = 0; n < 3; ++n) EXPECT_EQ(readFile(names[n]), "garbage " + std::to_string(n));
  EXPECT_EQ(setAsideSavedGame("state", reason), "");
  EXPECT_FALSE(reason.empty());
}
