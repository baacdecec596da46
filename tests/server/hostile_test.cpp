// Hostile input to the real korvaned: afterwards it must still serve a well-behaved client
// promptly, with its memory bounded.
#include <chrono>
#include <memory>

#include "net/message.h"
#include "net/network.h"
#include "servertest.h"
#include "world/cunit.h"

namespace {

// Sanitized servers keep shadow memory per thread and per allocation.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
const long memoryScale = 8;
#else
const long memoryScale = 1;
#endif

int count(const std::string& text, const std::string& needle)
{
  int n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

std::string w(int v) { return std::string{char((v >> 8) & 255), char(v & 255)}; }

std::string fields(const char* tag, std::initializer_list<int> values)
{
  std::string b = std::string(tag) + "0000";
  for (int v : values) b += w(v);
  return frameOf(b);
}

class HostileTest : public ServerTest {
protected:
  void SetUp() override
  {
    ServerTest::SetUp();
    ASSERT_TRUE(startServer());
    owner.reset(new Client(port));
    std::string s;
    long id;
    ASSERT_TRUE(owner->registerAs("owner", "box", s, id));
    owner->send(frameOf(cMapMessage(0, "???")));
    std::string b;
    ASSERT_TRUE(owner->readFrame(b));
    owner->send(terrainFrame(100, 100, 1));
    ASSERT_TRUE(waitOut("blahblah\n", 2000));
  }

  // A new client registers and sees a move of the owner relayed, all within a second.
  void expectServedPromptly(const char* name)
  {
    const auto begin = std::chrono::steady_clock::now();
    Client c(port);
    std::string s, b;
    long id;
    ASSERT_TRUE(c.registerAs(name, "box", s, id));
    owner->send(frameOf(cMoveMessage(0, cPoint(7, 7), cPoint(8, 8))));
    ASSERT_TRUE(c.readFrame(b, 1000));
    EXPECT_EQ(b, frameOf(cMoveMessage(0, cPoint(7, 7), cPoint(8, 8))).substr(2));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1));
  }

  // The map as a later client downloads it: the terrain body and the units' frames.
  void download(std::string& terrain, std::vector<std::string>& objects)
  {
    Client c(port);
    std::string s, b;
    long id;
    ASSERT_TRUE(c.registerAs("reader", "box", s, id));
    c.send(frameOf(cMapMessage(0, "???")));
    // The owner's last frames may still be relayed to this newcomer ahead of the answer.
    do ASSERT_TRUE(c.readFrame(b));
    while (b.compare(0, 3, "MAP") != 0);
    ASSERT_EQ(b, "MAP0000SND");
    ASSERT_TRUE(c.readFrame(terrain));
    while (c.readFrame(b) && b != "MAP0000///") objects.push_back(b);
  }

  std::unique_ptr<Client> owner;
};

}  // namespace

TEST_F(HostileTest, FramesTruncatedAndUnknownTagsAreHarmless)
{
  Client bad(port), watcher(port);
  std::string s, b;
  long id;
  ASSERT_TRUE(bad.registerAs("bad", "box", s, id));
  ASSERT_TRUE(watcher.registerAs("watch", "box", s, id));
  for (const char* tag : {"MOV", "SET", "CRE", "CRU", "HPC", "DAM", "REM", "MAP", "REG", "CLX"})
    for (size_t keep : {3, 5, 8, 12})
      bad.send(frameOf((std::string(tag) + "0000" + std::string(20, '\x7f')).substr(0, keep)));
  bad.send(frameOf("ZZZ0000abcdefgh"));
  ASSERT_TRUE(waitOut("Player: REM\n", 2000));
  // An unknown tag decodes as a move from (0, 0) to (0, 0), relayed as such.
  bool sawNeutralMove = false;
  while (watcher.readFrame(b, 500))
    sawNeutralMove |= b == frameOf(cMoveMessage(0, cPoint(0, 0), cPoint(0, 0))).substr(2);
  EXPECT_TRUE(sawNeutralMove);
  expectServedPromptly("good");
}

TEST_F(HostileTest, FramesLengthsZeroAndOneCloseTheConnection)
{
  for (const char* length : {"\x00\x00", "\x00\x01"}) {
    Client bad(port);
    std::string s;
    long id;
    ASSERT_TRUE(bad.registerAs("bad", "box", s, id));
    bad.send(std::string(length, 2) + "MOV0000");
    EXPECT_TRUE(bad.closedWithin(2000));
  }
  Client early(port);
  early.send(std::string("\x00\x01", 2));
  EXPECT_TRUE(early.closedWithin(2000));
  expectServedPromptly("good");
}

TEST_F(HostileTest, FramesLongestFrameAndDisconnectMidFrame)
{
  {
    Client bad(port);
    std::string s;
    long id;
    ASSERT_TRUE(bad.registerAs("bad", "box", s, id));
    bad.send(std::string("\xff\xff", 2) + "MOV0000" + std::string(65526, 'x'));
    bad.send(std::string("\x00\x20", 2) + "MOV00");  // and leaves halfway through
  }
  Client early(port);
  early.send(std::string("\xff\xff", 2) + "DNM");
  ASSERT_TRUE(waitOut("Return: -1\n", 2000));
  expectServedPromptly("good");
}

TEST_F(HostileTest, AreasHugeValuesInEveryKindAreBounded)
{
  owner->send(frameOf(cCreateUnitMessage(
      0, std::unique_ptr<cBaseUnit>(new cBaseUnit(1, 0, cPoint(99, 99), cIsoPoint(1, 1, 0), 30))
             .get())));
  const long before = rssKb();
  for (int i = 0; i < 20; ++i) {
    owner->send(fields("SET", {0, 0, 65535, 65535, 4}));
    owner->send(fields("REM", {0, 0, 65535, 65535}));
    owner->send(fields("CRE", {5, 0, 0, 0, 0, 65535, 65535, 10}));
    owner->send(fields("CRU", {5, 0, 0, 65535, 65535, 65535, 65535, 10}));
    owner->send(fields("CRU", {5, 0, 0, 50, 50, 0, 0, 10}));  // no footprint
    owner->send(fields("HPC", {65535, 65535, 65535, 65535}));
    owner->send(fields("MOV", {65535, 65535, 65535, 65535}));
    owner->send(frameOf("MAP0000XYZ" + w(65535) + w(65535) + "abc"));
  }
  owner->send(fields("DAM", {0, 0, 1, 65535}));  // level 1: a blast as large as it gets
  owner->send(fields("DAM", {65535, 65535, 1, 65535}));
  ASSERT_TRUE(waitOut("Player: DAM\n", 3000, 2));
  EXPECT_LT(rssKb() - before, 20000 * memoryScale) << "kB grown";

  std::string terrain;
  std::vector<std::string> objects;
  download(terrain, objects);
  EXPECT_EQ(terrain.size(), 10014u);
  EXPECT_EQ(terrain.find_first_not_of('\x04', 14), std::string::npos);  // SET clipped, applied
  ASSERT_EQ(objects.size(), 1u);  // only the real unit: nothing off the map or without a cell
  const cDecodeMessage unit(objects[0].data(), int(objects[0].size()));
  ASSERT_EQ(unit.realMessage()->getType(), mtCreateUnit);
  // From (0, 0) the capped blast still reaches the far corner, once.
  EXPECT_EQ(static_cast<const cCreateUnitMessage*>(unit.realMessage())->getUnit()->getHealth(), 29);
  expectServedPromptly("good");
}

// Once the owner uploaded its map, no terrain from anyone replaces what a joiner gets: not a
// layer cut short or empty, and not a whole one either.
TEST_F(HostileTest, TerrainAfterTheUploadLeavesTheMapUnchanged)
{
  const std::string uploaded = terrainFrame(100, 100, 1).substr(2);
  const std::string cutShort = terrainFrame(100, 100, 2);
  const struct {
    std::string frame;
    std::string downloaded;
  } cases[] = {
      {frameOf("MAP0000TER" + w(65535) + w(65535) + std::string(300, '\x02')), uploaded},
      {cutShort.substr(0, 2) + cutShort.substr(2, 5000), uploaded},  // the rest never comes
      {frameOf("MAP0000TER" + w(100) + w(100) + std::string(9999, '\x02')), uploaded},
      {frameOf("MAP0000TER" + w(0) + w(0)), uploaded},
      {frameOf("MAP0000TER" + w(100) + w(0) + std::string(100, '\x02')), uploaded},
      {frameOf("MAP0000TER" + w(0) + w(5) + std::string(100, '\x02')), uploaded},
      {terrainFrame(20, 10, 3), uploaded},
      {terrainFrame(1, 1, 3), uploaded},
  };
  for (const auto& c : cases) {
    // A frame cut short ends its connection, so each goes out on a connection of its own;
    // once the server has seen that connection end, it has handled the frame.
    const int ended = count(out(), "Return: -1\n");
    {
      Client uploader(port);
      std::string s;
      long id;
      ASSERT_TRUE(uploader.registerAs("uploader", "box", s, id));
      uploader.send(c.frame);
    }
    ASSERT_TRUE(waitOut("Return: -1\n", 5000, ended + 1));
    std::string terrain;
    std::vector<std::string> objects;
    download(terrain, objects);
    // The reader's connection ends as well; once that is seen, the next case's count holds
    // only its own uploader.
    ASSERT_TRUE(waitOut("Return: -1\n", 5000, ended + 2));
    EXPECT_EQ(terrain.size(), c.downloaded.size()) << &c - cases;
    EXPECT_EQ(terrain, c.downloaded) << &c - cases;
  }
  expectServedPromptly("good");
}

TEST_F(HostileTest, TextsOverlongNamesAndMessagesAreCut)
{
  const std::string longName(130, 'n'), longHost(120, 'h');
  Client named(port);
  std::string s, b;
  long id;
  ASSERT_TRUE(named.registerAs(longName, longHost, s, id));
  EXPECT_TRUE(waitOut("Player Name: " + std::string(127, 'n') + "\n", 2000));
  owner->send(frameOf("LST"));
  EXPECT_EQ(owner->readText(), "k=1-owner@box player");
  EXPECT_EQ(owner->readText(), "k=2-" + std::string(127, 'n') + "@" + longHost + " player");
  owner->send(
      frameOf("MSG" + std::string(127, 'n') + "@" + longHost + ":" + std::string(300, 't')));
  EXPECT_EQ(named.readText(500), "owner: " + std::string(127, 't'));
  owner->send(frameOf("MSA" + std::string(300, 'a')));
  EXPECT_EQ(named.readText(500), "owner: " + std::string(127, 'a'));
  EXPECT_TRUE(named.quietFor(200));
  expectServedPromptly("good");
}

TEST_F(HostileTest, ConnectionsHundredUnfinishedHandshakes)
{
  const long before = rssKb();
  std::vector<std::unique_ptr<Client>> idle;
  for (int i = 0; i < 100; ++i) {
    idle.emplace_back(new Client(port));
    if (i % 3 == 1) idle.back()->send(std::string("\x00\x0e", 2) + "DN");
    if (i % 3 == 2) idle.back()->send(versionFrame());
  }
  ASSERT_TRUE(waitOut("SERVER: Waiting for more contact ...\n", 10000, 101));
  expectServedPromptly("good");
  EXPECT_LT(rssKb() - before, 64000 * memoryScale) << "kB grown";
}

// A player that never reads must neither stall the flooding sender's thread nor the others.
TEST_F(HostileTest, RelayReceiverThatNeverReadsStallsNoOne)
{
  Client sleeper(port), flood(port);
  std::string s;
  long id;
  ASSERT_TRUE(sleeper.registerAs("sleeper", "box", s, id));
  ASSERT_TRUE(flood.registerAs("flood", "box", s, id));
  const std::string move = frameOf(cMoveMessage(0, cPoint(1, 2), cPoint(3, 4)));
  std::string burst;
  for (int i = 0; i < 4000; ++i) burst += move;
  const long before = rssKb();
  for (int i = 0; i < 30; ++i) flood.send(burst);
  flood.send(frameOf("LST"));  // answered once every move before it was handled
  EXPECT_EQ(flood.readText(60000).substr(0, 2), "k=");
  EXPECT_LT(rssKb() - before, 64000 * memoryScale) << "kB grown";
  owner.reset();  // its queue is full of the flood: a fresh sender takes its place
  owner.reset(new Client(port));
  ASSERT_TRUE(owner->registerAs("sender", "box", s, id));
  expectServedPromptly("good");
}

// A frame whose body never arrives whole, because its sender left or stalled, is neither
// applied nor relayed: the unit it would create is on no map, and no one hears of it.
TEST_F(HostileTest, FramesCutShortByLeavingOrStallingAreNeitherAppliedNorRelayed)
{
  cNetworkQueue::stallLimitMs = 200;
  Client watcher(port);
  std::string s, b;
  long id;
  ASSERT_TRUE(watcher.registerAs("watcher", "box", s, id));
  const cBaseUnit u(1, 0, cPoint(30, 30), cIsoPoint(1, 1, 0), 30);
  const std::string create = frameOf(cCreateUnitMessage(0, &u));
  for (bool leaves : {true, false}) {
    const int ended = count(out(), "Return: -1\n");
    Client cut(port);
    ASSERT_TRUE(cut.registerAs("cut", "box", s, id));
    cut.send(create.substr(0, 15));
    if (leaves) cut.reset();
    ASSERT_TRUE(waitOut("Return: -1\n", 3000, ended + 1)) << leaves;
    EXPECT_TRUE(watcher.quietFor(100)) << leaves;
  }
  EXPECT_EQ(count(out(), "Player: CRU"), 0);
  std::string terrain;
  std::vector<std::string> objects;
  download(terrain, objects);
  EXPECT_TRUE(objects.empty());
  cNetworkQueue::stallLimitMs = 10000;
}
