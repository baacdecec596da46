// The server spoken to over loopback: the handshake, map transfer, relays, operator commands
// and console lines. Most run a server in the test's process; the command line, "DIE" and
// one whole exchange run the real korvaned.
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "net/message.h"
#include "servertest.h"
#include "world/cunit.h"

namespace {

std::string moveFrame(int turn, cPoint from, cPoint to)
{
  return frameOf(cMoveMessage(turn, from, to));
}

std::string buildingFrame()
{
  const cBaseObject b(3, 0, cPoint(10, 10), cIsoPoint(2, 2, 0), 50);
  return frameOf(cCreateObjectMessage(0, &b));
}

std::string unitFrame(cPoint at, int health)
{
  const cBaseUnit u(1, 0, at, cIsoPoint(1, 1, 0), health);
  return frameOf(cCreateUnitMessage(0, &u));
}

// Registers name@box, expecting the given status and ID.
void join(Client& c, const std::string& name, const char* status, long id)
{
  std::string s;
  long got = -1;
  ASSERT_TRUE(c.registerAs(name, "box", s, got));
  EXPECT_EQ(s, status);
  EXPECT_EQ(got, id);
}

// The first client's side of the map exchange: "???" answered "REC", then the upload.
void upload(Client& c, char cell)
{
  c.send(frameOf(cMapMessage(0, "???")));
  std::string body;
  ASSERT_TRUE(c.readFrame(body));
  EXPECT_EQ(body, "MAP0000REC");
  c.send(terrainFrame(100, 100, cell));
  c.send(buildingFrame());
  c.send(unitFrame(cPoint(20, 20), 30));
  c.send(frameOf(cMapMessage(0, "///")));
}

std::string body(const std::string& frame) { return frame.substr(2); }

}  // namespace

TEST_F(ServerTest, CommandLineBadPortsRefused)
{
  for (const char* arg : {"0", "abc", "65536", "99999", "-5", "+80", "80x", ""}) {
    cServerProcess korvaned("out.txt", "err.txt");
    ASSERT_TRUE(korvaned.spawn({arg}));
    EXPECT_EQ(korvaned.waitExit(5000), 1) << arg;
    EXPECT_NE(err().find(std::string("bad port number ") + arg + "/n"), std::string::npos) << arg;
  }
}

TEST_F(ServerTest, CommandLineHelpAndVersionPrintAndExit)
{
  const struct {
    const char* arg;
    int status;
    std::string out, err;
  } cases[] = {
      {"--help", 0,
       "Usage: korvaned [--help] [--version] [--operator-address ADDR]... [--state FILE] "
       "[--save-interval SECONDS] [port]\n",
       ""},
      {"--version", 0, "korvaned 0.26.20\n", ""},
      {"--verbose", 1, "", "korvaned: unknown option --verbose\nUsage: korvaned"},
      {"--save-interval=0.001", 1, "",
       "korvaned: bad save interval 0.001 (seconds, from 0.01 to 86400)\nUsage: korvaned"},
  };
  for (const auto& c : cases) {
    cServerProcess korvaned(std::string(c.arg) + ".out", std::string(c.arg) + ".err");
    ASSERT_TRUE(korvaned.spawn({c.arg}));
    EXPECT_EQ(korvaned.waitExit(5000), c.status) << c.arg;
    EXPECT_EQ(korvaned.out().substr(0, c.out.size()), c.out) << c.arg;
    EXPECT_EQ(korvaned.err().substr(0, c.err.size()), c.err) << c.arg;
    EXPECT_EQ(korvaned.out().empty(), c.out.empty()) << c.arg;
  }
}

TEST_F(ServerTest, ExchangeFirstClientUploadsLaterClientDownloads)
{
  ASSERT_TRUE(startProgram());
  Client first(port);
  join(first, "ann", "OK_", 0);
  upload(first, 7);
  // The server handles a connection's frames in order: once the list is answered, the
  // upload has been applied and relayed, and nothing of it can reach the later client.
  first.send(frameOf("LST"));
  EXPECT_EQ(first.readText(), "k=1-ann@box player");
  EXPECT_NE(out().find("blahblah\n"), std::string::npos);

  Client later(port);
  join(later, "bob", "OK_", 1);
  later.send(frameOf(cMapMessage(0, "???")));
  std::string b;
  ASSERT_TRUE(later.readFrame(b));
  EXPECT_EQ(b, "MAP0000SND");
  ASSERT_TRUE(later.readFrame(b));
  EXPECT_EQ(b, body(terrainFrame(100, 100, 7)));  // the 10016-byte frame
  ASSERT_TRUE(later.readFrame(b));
  EXPECT_EQ(b, body(buildingFrame()));
  ASSERT_TRUE(later.readFrame(b));
  EXPECT_EQ(b, body(unitFrame(cPoint(20, 20), 30)));
  ASSERT_TRUE(later.readFrame(b));
  EXPECT_EQ(b, "MAP0000///");
  EXPECT_TRUE(later.quietFor(200));
}

TEST_F(ServerTest, ExchangeHealRaisesHealthOnTheServersMap)
{
  ASSERT_TRUE(startServer());
  Client first(port);
  join(first, "ann", "OK_", 0);
  upload(first, 7);
  ASSERT_TRUE(waitOut("Player: CRU \n", 2000));
  first.send(frameOf(cDamageHealMessage(0, 1, cPoint(20, 20), -5)));
  ASSERT_TRUE(waitOut("Player: HPC\n", 2000));

  Client later(port);
  join(later, "bob", "OK_", 1);
  later.send(frameOf(cMapMessage(0, "???")));
  std::vector<std::string> frames;  // the heal itself may be relayed to the newcomer too
  std::string b;
  while (later.readFrame(b) && b != "MAP0000///") frames.push_back(b);
  EXPECT_NE(std::find(frames.begin(), frames.end(), body(unitFrame(cPoint(20, 20), 35))),
            frames.end());
}

TEST_F(ServerTest, RegistrationIdsAndDuplicateTakesOverConnection)
{
  ASSERT_TRUE(startServer());
  Client ann(port), bob(port);
  join(ann, "ann", "OK_", 0);
  join(bob, "bob", "OK_", 1);
  Client annAgain(port);
  join(annAgain, "ann", "DUP", 0);
  EXPECT_TRUE(waitOut("player is already in list\n", 2000));
  EXPECT_TRUE(ann.closedWithin(2000)) << "the old connection still serves the player";
  Client annElsewhere(port);
  std::string s;
  long id;
  ASSERT_TRUE(annElsewhere.registerAs("ann", "other", s, id));
  EXPECT_EQ(s, "OK_");
  EXPECT_EQ(id, 2);

  upload(bob, 1);
  bob.send(moveFrame(0, cPoint(1, 1), cPoint(2, 2)));
  std::string b;
  ASSERT_TRUE(annAgain.readFrame(b));
  EXPECT_EQ(b, body(buildingFrame()));
  ASSERT_TRUE(annAgain.readFrame(b));
  EXPECT_EQ(b, body(unitFrame(cPoint(20, 20), 30)));
  ASSERT_TRUE(annAgain.readFrame(b));
  EXPECT_EQ(b, body(moveFrame(0, cPoint(1, 1), cPoint(2, 2))));
  EXPECT_TRUE(annAgain.quietFor(200));
}

TEST_F(ServerTest, RegistrationSimultaneousSameNameMakeOnePlayer)
{
  ASSERT_TRUE(startServer());
  const int n = 16;
  std::vector<std::string> status(n);
  std::vector<long> ids(n, -1);
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < n; ++i) clients.emplace_back(new Client(port));
  std::vector<std::thread> threads;
  for (int i = 0; i < n; ++i)
    threads.emplace_back([&, i] { clients[i]->registerAs("twin", "box", status[i], ids[i]); });
  for (std::thread& t : threads) t.join();
  // A later registration shuts the earlier connection down, perhaps before its reply left.
  EXPECT_LE(std::count(status.begin(), status.end(), "OK_"), 1);
  EXPECT_GE(std::count(status.begin(), status.end(), "DUP"), 1);
  // Racing registrations may each draw an ID before one of them is added, so the one
  // player's ID need not be 0; every reply names that same player.
  long twin = -1;
  for (int i = 0; i < n; ++i) {
    if (status[i].empty()) continue;
    if (twin < 0) twin = ids[i];
    EXPECT_EQ(ids[i], twin);
  }
  EXPECT_GE(twin, 0);

  Client other(port);
  std::string s;
  long id = -1;
  ASSERT_TRUE(other.registerAs("other", "box", s, id));
  EXPECT_EQ(s, "OK_");
  EXPECT_GT(id, twin);
  other.send(frameOf("LST"));
  EXPECT_EQ(other.readText(), "k=1-twin@box player");
  EXPECT_EQ(other.readText(), "k=2-other@box player");
  EXPECT_TRUE(other.quietFor(200));
}

TEST_F(ServerTest, RelayReachesEveryOtherPlayerNotTheSender)
{
  ASSERT_TRUE(startServer());
  Client a(port), b(port), c(port);
  join(a, "a", "OK_", 0);
  join(b, "b", "OK_", 1);
  join(c, "c", "OK_", 2);
  upload(a, 0);
  ASSERT_TRUE(waitOut("Player: CRU \n", 2000));
  std::string got;
  for (Client* other : {&b, &c}) {  // the upload's buildings and units are relayed too
    ASSERT_TRUE(other->readFrame(got));
    EXPECT_EQ(got, body(buildingFrame()));
    ASSERT_TRUE(other->readFrame(got));
    EXPECT_EQ(got, body(unitFrame(cPoint(20, 20), 30)));
  }
  a.send(moveFrame(0x1234, cPoint(2, 3), cPoint(4, 5)));
  const cRect area(1, 2, 3, 4);
  const std::vector<std::string> same = {frameOf(cMapSetMessage(0, area, 6)),
                                         frameOf(cRemoveMessage(0, area)),
                                         frameOf(cDamageAreaMessage(0, cPoint(5, 5), 2, 9)),
                                         frameOf(cDamageHealMessage(0, 1, cPoint(20, 20), 3))};
  for (const std::string& f : same) a.send(f);
  for (Client* other : {&b, &c}) {
    ASSERT_TRUE(other->readFrame(got));
    EXPECT_EQ(got, body(moveFrame(0, cPoint(2, 3), cPoint(4, 5))));  // turn 0
    for (const std::string& f : same) {
      ASSERT_TRUE(other->readFrame(got));
      EXPECT_EQ(got, body(f));
    }
  }
  EXPECT_TRUE(a.quietFor(300));
  EXPECT_NE(out().find("Player: MOV 45-23\n"), std::string::npos);
}

TEST_F(ServerTest, RelayDroppedBeforeTheMapExists)
{
  ASSERT_TRUE(startServer());
  Client a(port), b(port);
  join(a, "a", "OK_", 0);
  join(b, "b", "OK_", 1);
  a.send(moveFrame(0, cPoint(2, 3), cPoint(4, 5)));
  EXPECT_TRUE(waitOut("Player: sending info before MAP\n", 2000));
  EXPECT_TRUE(b.quietFor(300));
}

// Every text is a whole "MSG" frame: a move sent after them still arrives intact.
TEST_F(ServerTest, CommandsAnsweredAsFramedTextsCarryingTheSendersName)
{
  ASSERT_TRUE(startServer());
  Client ann(port), bob(port), cid(port);
  join(ann, "ann", "OK_", 0);
  join(bob, "bob", "OK_", 1);
  join(cid, "cid", "OK_", 2);
  ann.send(frameOf("LST"));
  std::string text;
  unsigned long from = 0;
  for (const char* line : {"k=1-ann@box player", "k=2-bob@box player", "k=3-cid@box player"}) {
    ASSERT_TRUE(ann.readText(text, from));
    EXPECT_EQ(text, line);
    EXPECT_EQ(from, fromServer);
  }
  ann.send(frameOf("MSGbob@box:hello there\nignored"));
  ASSERT_TRUE(bob.readText(text, from));
  EXPECT_EQ(text, "ann: hello there");
  EXPECT_EQ(from, 0u);
  EXPECT_TRUE(waitOut("P: 'bob', H: 'box', M: 'ann: hello there'\n", 2000));
  bob.send(frameOf("MSA all of you"));
  for (Client* other : {&ann, &cid}) {
    ASSERT_TRUE(other->readText(text, from));
    EXPECT_EQ(text, "bob: all of you");
    EXPECT_EQ(from, 1u);
  }
  upload(cid, 0);
  ASSERT_TRUE(waitOut("Player: CRU \n", 2000));
  cid.send(moveFrame(0, cPoint(2, 3), cPoint(4, 5)));
  for (Client* other : {&ann, &bob}) {
    std::string b;
    do ASSERT_TRUE(other->readFrame(b));
    while (b.compare(0, 3, "MOV") != 0);
    EXPECT_EQ(b, body(moveFrame(0, cPoint(2, 3), cPoint(4, 5))));
  }
  EXPECT_TRUE(bob.quietFor(200));
}

// A "MSG" naming a name and host nobody registered (names and hosts match exactly, case and
// all) is answered with one server text to its sender, and reaches no one else.
TEST_F(ServerTest, MessageToAnUnknownPlayerIsAnsweredToItsSender)
{
  ASSERT_TRUE(startServer());
  Client ann(port), bob(port);
  join(ann, "ann", "OK_", 0);
  join(bob, "bob", "OK_", 1);
  const std::string longName(200, 'n');
  const struct {
    std::string command, answer;
  } cases[] = {
      {"MSGzed@box:hello", "No player zed@box."},
      {"MSG bob@elsewhere:hello", "No player bob@elsewhere."},
      {"MSGBob@box:hello", "No player Bob@box."},
      {"MSGbob", "No player bob@."},
      {"MSG" + longName + "@box:hi", "No player " + std::string(127, 'n') + "@box."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command.substr(0, 30));
    ann.send(frameOf(c.command));
    std::string text;
    unsigned long from = 0;
    ASSERT_TRUE(ann.readText(text, from));
    EXPECT_EQ(text, c.answer);
    EXPECT_EQ(from, fromServer);
    EXPECT_TRUE(waitOut(c.answer + "\n", 2000));
  }
  EXPECT_TRUE(bob.quietFor(200));
  EXPECT_TRUE(ann.quietFor(0));
  ann.send(frameOf("MSGbob@box:still here"));
  EXPECT_EQ(bob.readText(), "ann: still here");
}

// The players' map is the first whole one uploaded by a player asked for it: a terrain from
// anyone else, or any later one, is refused, and its sender keeps playing.
TEST_F(ServerTest, UploadOnlyTheAskedPlayersFirstTerrainBecomesTheMap)
{
  ASSERT_TRUE(startServer());
  Client ann(port), bob(port);
  join(ann, "ann", "OK_", 0);
  join(bob, "bob", "OK_", 1);
  bob.send(terrainFrame(100, 100, 5));  // before any map, unasked
  ASSERT_TRUE(waitOut("refused TER from bob@box\n", 2000));
  ann.send(frameOf(cMapMessage(0, "???")));
  std::string b;
  ASSERT_TRUE(ann.readFrame(b));
  ann.send(terrainFrame(0, 0, 5));  // asked, but a layer of no cells
  ASSERT_TRUE(waitOut("refused TER from ann@box\n", 2000));
  EXPECT_FALSE(engine->hasMap());
  bob.send(frameOf(cMapMessage(0, "???")));  // asked after ann: either may upload
  ASSERT_TRUE(bob.readFrame(b));
  EXPECT_EQ(b, "MAP0000REC");
  ann.send(terrainFrame(100, 100, 7));
  ann.send(unitFrame(cPoint(20, 20), 30));
  ann.send(frameOf(cMapMessage(0, "///")));
  ASSERT_TRUE(waitOut("Player: CRU \n", 2000));
  EXPECT_TRUE(engine->hasMap());
  const struct {
    Client* sender;
    const char* line;
    int times;
  } later[] = {{&bob, "refused TER from bob@box\n", 2}, {&ann, "refused TER from ann@box\n", 2}};
  for (const auto& c : later) {
    c.sender->send(terrainFrame(1, 1, 3));
    c.sender->send(frameOf("LST"));
    std::string text;
    unsigned long from;
    do ASSERT_TRUE(c.sender->readText(text, from)) << c.line;  // still served
    while (text.compare(0, 4, "k=2-") != 0);
    EXPECT_TRUE(waitOut(c.line, 2000, c.times)) << c.line;
  }
  Client joiner(port);
  join(joiner, "cid", "OK_", 2);
  joiner.send(frameOf(cMapMessage(0, "???")));
  do ASSERT_TRUE(joiner.readFrame(b));
  while (b != "MAP0000SND");
  ASSERT_TRUE(joiner.readFrame(b));
  EXPECT_EQ(b, body(terrainFrame(100, 100, 7)));
}

TEST_F(ServerTest, CommandsDieAsFirstFrameEndsServer)
{
  ASSERT_TRUE(startProgram());
  Client c(port);
  c.send(frameOf("DIE"));
  EXPECT_EQ(program->waitExit(6000), 0);
  const size_t die = out().find("DIE!\n");
  ASSERT_NE(die, std::string::npos) << out();
  EXPECT_NE(out().find("Error in version string\n", die), std::string::npos) << out();
}

TEST_F(ServerTest, ConsoleVisitCounterAndListLines)
{
  ASSERT_TRUE(startServer());
  {
    Client c(port);
    join(c, "ann", "OK_", 0);
  }
  ASSERT_TRUE(waitOut("This server has been contacted 1 time.\n", 2000));
  for (int i = 0; i < 4; ++i) Client c(port);
  EXPECT_TRUE(waitOut("This server has been contacted 5 times.\n", 2000));
  EXPECT_NE(out().find("SERVER thread: This server has been contacted 1 time.\n"),
            std::string::npos);
  EXPECT_NE(out().find("k=1-ann@box player 0\n"), std::string::npos);
}

TEST_F(ServerTest, ConnectionResetMarksPlayerNotConnected)
{
  ASSERT_TRUE(startServer());
  Client a(port), b(port);
  join(a, "ann", "OK_", 0);
  join(b, "bob", "OK_", 1);
  upload(b, 0);
  a.reset();
  ASSERT_TRUE(waitOut("Return: -1\n", 2000));
  EXPECT_TRUE(waitOut("k=1-ann@box player 0\n", 2000));
  b.send(frameOf("LST"));  // and it still lists
  EXPECT_EQ(b.readText(), "k=1-ann@box player");
}

// The registration reply is the first frame a new player gets, however busy the game is: a
// frame relayed ahead of it would be read as the reply.
TEST_F(ServerTest, RegistrationReplyComesBeforeAnyRelayedFrame)
{
  ASSERT_TRUE(startServer());
  Client busy(port);
  join(busy, "busy", "OK_", 0);
  upload(busy, 0);
  ASSERT_TRUE(waitOut("Player: CRU \n", 2000));
  std::atomic<bool> done{false};
  std::thread flood([&] {
    const std::string burst = [] {
      std::string b;
      for (int i = 0; i < 50; ++i) b += frameOf("MSAbusy " + std::to_string(i));
      return b;
    }();
    while (!done) busy.send(burst);
  });
  int registered = 0;
  for (int i = 0; i < 400; ++i) {
    Client c(port);
    std::string status;
    long id;
    registered += c.registerAs("p" + std::to_string(i), "box", status, id);
  }
  done = true;
  flood.join();
  EXPECT_EQ(registered, 400);
}
