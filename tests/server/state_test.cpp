// The real korvaned keeping its game in a state file: a restart gives joiners the same game,
// a file that cannot be read is set aside, and a server killed while it writes leaves a file
// that loads.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <utility>
#include <vector>

#include "net/message.h"
#include "net/savegame.h"
#include "servertest.h"
#include "world/map.h"

namespace {

using StateFile = ServerTest;

std::unique_ptr<Client> joined(int port, const std::string& name)
{
  std::unique_ptr<Client> c(new Client(port));
  std::string status;
  long id = 0;
  EXPECT_TRUE(c->registerAs(name, "loopback", status, id));
  return c;
}

// What a joiner receives after its "???": "SND" and the download, or "REC" alone.
std::string download(int port)
{
  std::unique_ptr<Client> c = joined(port, "joiner");
  c->send(frameOf(cMapMessage(0, "???")));
  std::string all, body;
  while (c->readFrame(body)) {
    all += frameOf(body);
    if (body.compare(0, 3, "MAP") == 0 && body.compare(7, 3, "SND") != 0 &&
        body.compare(7, 3, "TER") != 0)
      break;
  }
  return all;
}

std::string frameOfObject(const char* tag, int kind, cPoint at, cIsoPoint size)
{
  if (tag[2] == 'U') {
    const cBaseUnit u(kind, 0, at, size, 40);
    return frameOf(cCreateUnitMessage(0, &u));
  }
  const cBaseObject b(kind, 0, at, size, 300);
  return frameOf(cCreateObjectMessage(0, &b));
}

// The bodies of the frames in bytes, in order.
std::vector<std::string> bodiesOf(const std::string& bytes)
{
  std::vector<std::string> bodies;
  for (size_t at = 0; at + 2 <= bytes.size();) {
    const size_t length = size_t((unsigned char)bytes[at] * 256 + (unsigned char)bytes[at + 1]);
    if (length < 2) break;
    bodies.push_back(bytes.substr(at + 2, length - 2));
    at += length;
  }
  return bodies;
}

bool waitForFile(const std::string& name, const std::string& expected, int ms)
{
  for (int waited = 0; fileText(name) != expected; waited += 10) {
    if (waited >= ms) return false;
    usleep(10000);
  }
  return true;
}

}  // namespace

// The first player uploads terrain of another size than the 100 x 100 the server starts
// with, and objects where the two sizes differ. The game takes the terrain's size at once:
// what stands off it or across its edge is refused, what stands on it beyond 100 x 100 is
// kept. The server
// saves exactly what a joiner downloads, and restarted on that file it gives joiners the same
// bytes.
TEST_F(StateFile, AnUploadOfAnotherSizeIsTheSameGameBeforeAndAfterARestart)
{
  const std::vector<std::string> keep = {"--state", "state.kvs", "--save-interval", "0.05"};
  const struct {
    cPoint size;
    std::vector<std::pair<std::string, bool>> objects;  // frame, kept
  } cases[] = {
      {cPoint(120, 80),
       {{frameOfObject("CRE", 1, cPoint(10, 10), cIsoPoint(2, 2, 0)), true},
        {frameOfObject("CRE", 2, cPoint(110, 10), cIsoPoint(2, 2, 0)), true},
        {frameOfObject("CRE", 3, cPoint(99, 30), cIsoPoint(2, 2, 0)), true},
        {frameOfObject("CRU", 0, cPoint(119, 79), cIsoPoint(1, 1, 0)), true},
        {frameOfObject("CRE", 1, cPoint(50, 90), cIsoPoint(2, 2, 0)), false},
        {frameOfObject("CRU", 0, cPoint(5, 85), cIsoPoint(1, 1, 0)), false}}},
      {cPoint(50, 40),
       {{frameOfObject("CRE", 1, cPoint(10, 10), cIsoPoint(2, 2, 0)), true},
        {frameOfObject("CRU", 0, cPoint(49, 39), cIsoPoint(1, 1, 0)), true},
        {frameOfObject("CRE", 2, cPoint(60, 10), cIsoPoint(2, 2, 0)), false},
        {frameOfObject("CRE", 3, cPoint(49, 20), cIsoPoint(2, 2, 0)), false},
        {frameOfObject("CRU", 0, cPoint(10, 45), cIsoPoint(1, 1, 0)), false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.size.x) + " x " + std::to_string(c.size.y));
    std::remove("state.kvs");
    ASSERT_TRUE(startProgram(keep));
    std::unique_ptr<Client> first = joined(port, "first");
    std::unique_ptr<Client> second = joined(port, "second");
    std::string body, upload = terrainFrame(c.size.x, c.size.y, 4);
    size_t kept = 0;
    for (const auto& o : c.objects) {
      upload += o.first;
      kept += o.second;
    }
    first->send(frameOf(cMapMessage(0, "???")));
    ASSERT_TRUE(first->readFrame(body));
    first->send(upload + frameOf(cMapMessage(0, "///")));
    for (size_t relayed = 0; relayed < c.objects.size(); ++relayed) {  // applied or refused
      do ASSERT_TRUE(second->readFrame(body));
      while (body.compare(0, 2, "CR") != 0);
    }
    const std::string before = download(port);
    const std::vector<std::string> frames = bodiesOf(before);
    ASSERT_EQ(frames.size(), kept + 3);  // "SND", the terrain, the objects, "///"
    const std::string size = {0, char(c.size.x), 0, char(c.size.y)};
    EXPECT_EQ(frames[1].substr(10, 4), size);
    EXPECT_TRUE(waitForFile("state.kvs", savedGameHeader() + "\n" + before.substr(12), 10000));

    program->kill(SIGKILL);
    const size_t seen = out().size();
    ASSERT_TRUE(startProgram(keep));
    EXPECT_NE(out().find("Game read from state state.kvs.", seen), std::string::npos) << out();
    EXPECT_TRUE(download(port) == before);
    program->kill(SIGKILL);
  }
}

// The first player uploads a 120 x 80 game, a second one changes it; the server is stopped
// by a signal or an operator's "DIE" and started again on the same file, and a joiner
// downloads exactly what it held. With an interval of an hour, only the write at the end can
// have kept the changes.
TEST_F(StateFile, ARestartedServerGivesJoinersTheSameGame)
{
  const std::vector<std::string> keep = {"--state", "state.kvs", "--save-interval", "3600"};
  for (int stop : {SIGTERM, SIGINT, 0}) {
    SCOPED_TRACE(stop ? strsignal(stop) : "DIE");
    std::remove("state.kvs");
    ASSERT_TRUE(startProgram(keep));
    std::unique_ptr<Client> first = joined(port, "first");
    std::unique_ptr<Client> second = joined(port, "second");
    std::string body;
    first->send(frameOf(cMapMessage(0, "???")));
    ASSERT_TRUE(first->readFrame(body));
    first->send(terrainFrame(120, 80, 2) +
                frameOfObject("CRE", 1, cPoint(10, 10), cIsoPoint(2, 2, 0)) +
                frameOfObject("CRU", 0, cPoint(20, 20), cIsoPoint(1, 1, 0)) +
                frameOf(cMapMessage(0, "///")));
    do  // changes before the map exists are dropped; the unit must exist to move
      ASSERT_TRUE(second->readFrame(body));
    while (body.compare(0, 3, "CRU") != 0);
    second->send(frameOf(cMapSetMessage(0, cRect(0, 0, 30, 5), 7)) +
                 frameOf(cMoveMessage(0, cPoint(20, 20), cPoint(21, 22))) +
                 frameOfObject("CRE", 2, cPoint(100, 70), cIsoPoint(2, 2, 0)));
    for (const char* tag : {"SET", "MOV", "CRE"}) {  // relayed once applied
      ASSERT_TRUE(first->readFrame(body));
      EXPECT_EQ(body.substr(0, 3), tag);
    }
    const std::string before = download(port);
    ASSERT_GT(before.size(), 9600u);

    if (stop)
      program->signal(stop);
    else
      Client(port).send(frameOf("DIE"));  // an operator's first frame, from loopback
    EXPECT_EQ(program->waitExit(10000), 0);
    const size_t seen = out().size();
    ASSERT_TRUE(startProgram(keep));
    EXPECT_NE(out().find("Game read from state state.kvs.", seen), std::string::npos) << out();
    EXPECT_TRUE(download(port) == before);
    program->kill(SIGKILL);
  }
}

TEST_F(StateFile, AFileThatCannotBeReadIsSetAsideAndTheServerStartsWithoutAMap)
{
  for (const char* aside : {"state.kvs.bad", "state.kvs.bad.1"}) {
    SCOPED_TRACE(aside);
    std::ofstream("state.kvs") << "garbage " << aside;
    ASSERT_TRUE(startProgram({"--state", "state.kvs"}));
    EXPECT_NE(err().find("Could not read state state.kvs: not a saved game. Starting without "
                         "a map.\n"),
              std::string::npos)
        << err();
    EXPECT_EQ(fileText(aside), std::string("garbage ") + aside);
    EXPECT_EQ(download(port), frameOf(cMapMessage(0, "REC")));
    program->kill(SIGKILL);
  }
}

// The last write fails (its temporary name is taken by a folder): the server says so and
// ends with status 1 instead of 0, and the file keeps the game it held.
TEST_F(StateFile, AFailedWriteAtTheEndIsReportedAndLeavesTheFileAsItWas)
{
  cMap map(cPoint(100, 100));
  std::string saved, reason;
  ASSERT_TRUE(encodeSavedGame(map, saved));
  ASSERT_TRUE(writeSavedGame("state.kvs", saved, reason)) << reason;
  ASSERT_TRUE(startProgram({"--state", "state.kvs", "--save-interval", "3600"}));
  ASSERT_EQ(mkdir("state.kvs.tmp", 0755), 0);
  std::unique_ptr<Client> painter = joined(port, "painter");
  painter->send(frameOf(cMapSetMessage(0, cRect(0, 0, 10, 10), 9)));
  ASSERT_TRUE(waitOut("Player: SET", 5000));
  program->signal(SIGTERM);
  EXPECT_EQ(program->waitExit(5000), 1);
  EXPECT_NE(out().find("Could not write state state.kvs: cannot create state.kvs.tmp: Is a "
                       "directory.\n"),
            std::string::npos)
      << out();
  EXPECT_TRUE(fileText("state.kvs") == saved);
}

// The client paints the whole map with one kind after another while the server writes every
// 50 ms; a kill at any moment leaves a file holding one whole game, never older than the one
// before and never newer than the last painted.
TEST_F(StateFile, AServerKilledWhileItWritesLeavesAGameThatLoads)
{
  std::mt19937 random(20231);
  int lastSeen = 0, painted = 1;
  bool everSaved = false;  // until then each round's server starts without a map
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(startProgram({"--state", "state.kvs", "--save-interval", "0.05"}));
    std::unique_ptr<Client> c = joined(port, "painter");
    std::string body;
    if (!everSaved) {
      c->send(frameOf(cMapMessage(0, "???")));
      ASSERT_TRUE(c->readFrame(body));
      c->send(terrainFrame(100, 100, 1));
      // A kill before the first write would leave the later rounds without a game.
      for (int waited = 0; fileText("state.kvs").empty(); waited += 10) {
        ASSERT_LT(waited, 10000) << "the uploaded game was never written";
        usleep(10000);
      }
    }
    const auto killAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(random() % 150);
    while (std::chrono::steady_clock::now() < killAt) {
      painted = painted % 100 + 1;
      c->send(frameOf(cMapSetMessage(0, cRect(0, 0, 100, 100), painted)));
      usleep(2000);
    }
    program->kill(SIGKILL);
    std::string reason;
    bool missing = false;
    std::unique_ptr<cMap> kept = readSavedGame("state.kvs", reason, missing);
    ASSERT_TRUE(kept) << reason;
    everSaved = true;
    const int kind = kept->getTerrain(cPoint(0, 0));
    int other = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) other += kept->getTerrain(cPoint(x, y)) != kind;
    EXPECT_EQ(other, 0) << "a game painted half";
    lastSeen = kind;
  }
  EXPECT_GT(lastSeen, 0);
}
