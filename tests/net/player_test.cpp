#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "net/message.h"
#include "net/player.h"
#include "nettest.h"
#include "support/frames.h"
#include "world/map.h"

namespace {

// A server on loopback that accepts one connection and plays a script on it, recording
// every frame the client sent.
class ScriptedServer {
public:
  explicit ScriptedServer(std::function<void(ScriptedServer&)> script)
  {
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener, 1);
    socklen_t size = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size);
    port = short(ntohs(a.sin_port));
    worker = std::thread([this, script] {
      pollfd p = {listener, POLLIN, 0};
      if (poll(&p, 1, 5000) <= 0) return;
      fd = accept(listener, nullptr, nullptr);
      script(*this);
    });
  }
  ~ScriptedServer()
  {
    finish();
    if (fd >= 0) close(fd);
    close(listener);
  }
  // Reads one frame (length and body), waiting at most 2 seconds; empty at the end.
  Bytes frame()
  {
    Bytes f = readExactly(2);
    if (f.size() < 2) return Bytes();
    const Bytes body = readExactly(f[0] * 256 + f[1] - 2);
    f.insert(f.end(), body.begin(), body.end());
    frames.push_back(f);
    return f;
  }
  void reply(const cMessage& m) { write(Frame(m.encode(), m.encodedlength()).bytes()); }
  void reply(const cVersionMessage& m) { write(Frame(m.encode(), m.encodedlength()).bytes()); }
  bool peerClosed() { return readExactly(1).empty(); }
  void hangUp() { shutdown(fd, SHUT_RDWR); }
  // Waits for the script to end, then answers the frames it received.
  const std::vector<Bytes>& recorded()
  {
    finish();
    return frames;
  }

  short port = 0;

private:
  void finish()
  {
    if (worker.joinable()) worker.join();
  }
  Bytes readExactly(int n)
  {
    Bytes out(n > 0 ? n : 0);
    int got = 0;
    while (got < n) {
      pollfd p = {fd, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0) break;
      const ssize_t r = recv(fd, out.data() + got, n - got, 0);
      if (r <= 0) break;
      got += int(r);
    }
    out.resize(got);
    return out;
  }
  void write(const Bytes& b) { send(fd, b.data(), b.size(), MSG_NOSIGNAL); }

  std::vector<Bytes> frames;
  int listener = -1;
  int fd = -1;
  std::thread worker;
};

Bytes frameBytes(const cMessage& m)
{
  const std::string f = frameOf(m);
  return bytesOf(f.data(), int(f.size()));
}

Bytes textFrame(const std::string& text)
{
  Bytes f(text.size() + 2);
  f[1] = static_cast<unsigned char>(text.size() + 2);
  std::copy(text.begin(), text.end(), f.begin() + 2);
  return f;
}

// The server side of a successful version announcement and registration.
void handshake(ScriptedServer& s, const char* status, long id)
{
  s.frame();
  s.reply(cVersionMessage("0.26.20", 'L'));
  s.frame();
  s.reply(cRegisterMessage(0, status, id));
}

// Replies that never come are waited for 300 ms instead of the 5 s a player is given.
class Player : public NetTest {
protected:
  void SetUp() override
  {
    NetTest::SetUp();
    cPlayer::replyBudgetMs = 300;
  }
  void TearDown() override
  {
    cPlayer::replyBudgetMs = 5000;
    NetTest::TearDown();
  }
};

// Connects p to the scripted server with the connection's own console lines swallowed.
bool connectQuietly(cPlayer& p, int port)
{
  testing::internal::CaptureStdout();
  const bool connected = p.connectTo("127.0.0.1", port);
  testing::internal::GetCapturedStdout();
  return connected;
}

}  // namespace

TEST_F(Player, ConnectAnnouncesTheVersionAndRegisters)
{
  ScriptedServer server([](ScriptedServer& s) { handshake(s, "OK_", 4); });
  cPlayer p(-1);
  p.setPlayerInfo("ann", "box");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(p.connectTo("127.0.0.1", server.port));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(p.isConnected());
  EXPECT_EQ(p.myID(), 4);
  EXPECT_EQ(out.substr(0, 31), "SERVER VERSION: 'DNM0.26.20L' (");
  EXPECT_NE(out.find(")\nRegistration: OK_ 4\n"), std::string::npos) << out;
  const int polls = std::stoi(out.substr(31));  // the reads actually made
  EXPECT_GE(polls, 1);
  EXPECT_LT(polls, 100);
  const auto& frames = server.recorded();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Frame(cVersionMessage("0.26.20", 'l').encode(), 14).bytes());
  EXPECT_EQ(frames[1], hexBytes("00 0C 52 45 47 61 6E 6E 40 62 6F 78"));
}

TEST_F(Player, LongNameAndHostAreCutToFitTheRequest)
{
  ScriptedServer server([](ScriptedServer& s) { handshake(s, "DUP", 9); });
  cPlayer p(-1);
  const std::string name(300, 'n'), host(300, 'h');
  p.setPlayerInfo(name.c_str(), host.c_str());
  EXPECT_EQ(std::string(p.getName()), name.substr(0, 127));
  EXPECT_EQ(std::string(p.getHost()), host.substr(0, 159));
  EXPECT_TRUE(p.equals(name.substr(0, 127).c_str(), host.substr(0, 159).c_str()));
  EXPECT_FALSE(p.equals(name.c_str(), host.c_str()));
  testing::internal::CaptureStdout();
  EXPECT_TRUE(p.connectTo("127.0.0.1", server.port));
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Registration: DUP 9\n"),
            std::string::npos);
  const auto& frames = server.recorded();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1], textFrame("REG" + name.substr(0, 47) + "@" + host.substr(0, 46)));
  EXPECT_EQ(frames[1][1], 99);
}

TEST_F(Player, ShortHostLeavesTheNameTheRestOfTheRoom)
{
  ScriptedServer server([](ScriptedServer& s) { handshake(s, "OK_", 1); });
  cPlayer p(-1);
  const std::string name(120, 'n');
  p.setPlayerInfo(name.c_str(), "box");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(p.connectTo("127.0.0.1", server.port));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(server.recorded().at(1), textFrame("REG" + name.substr(0, 90) + "@box"));
}

TEST_F(Player, ReplyThatIsNotARegistrationKeepsTheID)
{
  ScriptedServer server([](ScriptedServer& s) {
    s.frame();
    s.reply(cVersionMessage("0.26.20", 'L'));
    s.frame();
    s.reply(cCloseMessage(0));
  });
  cPlayer p(-1);
  p.setPlayerInfo("ann", "box");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(p.connectTo("127.0.0.1", server.port));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.substr(out.find(")\n") + 2), "Registration: wtf CLS0000");
  EXPECT_EQ(p.myID(), 0);
  EXPECT_TRUE(p.isConnected());
}

TEST_F(Player, QueryAnsweredWithRecMeansSendYourOwn)
{
  ScriptedServer server([](ScriptedServer& s) {
    handshake(s, "OK_", 2);
    s.frame();
    s.reply(cMapMessage(0, "REC"));
  });
  cPlayer p(-1);
  p.setPlayerInfo("ann", "box");
  ASSERT_TRUE(connectQuietly(p, server.port));
  testing::internal::CaptureStdout();
  EXPECT_EQ(p.queryMaps(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "end ask\nQUERY MAPS recieved: MAP0000REC\nREC\n");
  EXPECT_EQ(server.recorded().at(2), hexBytes("00 0C 4D 41 50 30 30 30 30 3F 3F 3F"));
}

TEST_F(Player, QueryAnsweredWithSndMeansTheMapFollows)
{
  ScriptedServer server([](ScriptedServer& s) {
    handshake(s, "OK_", 2);
    s.frame();
    s.reply(cMapMessage(0, "SND"));
  });
  cPlayer p(-1);
  ASSERT_TRUE(connectQuietly(p, server.port));
  testing::internal::CaptureStdout();
  EXPECT_EQ(p.queryMaps(), 10);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "end ask\nQUERY MAPS recieved: MAP0000SND\nSND\n");
}

// Frames of the running game may arrive ahead of the answer; the joiner must still download
// the map instead of uploading its own.
TEST_F(Player, QuerySkipsRelayedFramesAndTextsBeforeTheAnswer)
{
  ScriptedServer server([](ScriptedServer& s) {
    handshake(s, "OK_", 2);
    s.frame();
    s.reply(cTextMessage(0, 0, ("ann: " + std::string(300, 'x')).c_str()));
    s.reply(cMoveMessage(0, cPoint(1, 2), cPoint(3, 4)));
    s.reply(cMapMessage(0, "SND"));
  });
  cPlayer p(-1);
  ASSERT_TRUE(connectQuietly(p, server.port));
  testing::internal::CaptureStdout();
  EXPECT_EQ(p.queryMaps(), 10);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("QUERY MAPS recieved: MAP0000SND\nSND\n"),
            std::string::npos);
}

TEST_F(Player, ChatIsOneMsaFrameCutToItsRoom)
{
  ScriptedServer server([](ScriptedServer& s) {
    s.frame();
    s.frame();
  });
  cPlayer p(-1);
  ASSERT_TRUE(p.connectQueue("127.0.0.1", server.port));
  p.sendChat("hi all");
  p.sendChat(std::string(150, 'x').c_str());
  const auto& frames = server.recorded();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], hexBytes("00 0B 4D 53 41 68 69 20 61 6C 6C"));  // "MSAhi all"
  EXPECT_EQ(frames[1], textFrame("MSA" + std::string(cPlayer::maxChatText, 'x')));
}

TEST_F(Player, UnansweredQueryDisconnects)
{
  ScriptedServer server([](ScriptedServer& s) {
    handshake(s, "OK_", 2);
    s.frame();
    s.frame();
    EXPECT_TRUE(s.peerClosed());
  });
  cPlayer p(-1);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(p.connectTo("127.0.0.1", server.port));
  EXPECT_EQ(p.queryMaps(), -1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("end ask\n"), std::string::npos);
  EXPECT_FALSE(p.isConnected());
  EXPECT_EQ(server.recorded().at(3), hexBytes("00 09 43 4C 53 30 30 30 30"));
}

// The map upload: terrain, the buildings and the units in list order, then the end mark.
TEST_F(Player, SendMapsSendsTerrainBuildingsUnitsAndTheEndMark)
{
  ScriptedServer server([](ScriptedServer& s) {
    for (int i = 0; i < 5; ++i) s.frame();
  });
  cMap map(cPoint(100, 100));
  map.fillTerrain(cRect(0, 0, 50, 100), 2);
  ASSERT_TRUE(map.addBuilding(new cBaseObject(1, 3L, cPoint(10, 10), cIsoPoint(2, 2, 1), 400)));
  ASSERT_TRUE(map.addBuilding(new cBaseObject(2, 3L, cPoint(20, 30), cIsoPoint(3, 2, 1), 500)));
  ASSERT_TRUE(map.addUnit(new cBaseUnit(0, 3L, cPoint(5, 6), cIsoPoint(1, 1, 1), 60)));
  cPlayer p(-1);
  ASSERT_TRUE(p.connectQueue("127.0.0.1", server.port));
  EXPECT_EQ(p.sendMaps(&map), 0);
  const auto& frames = server.recorded();
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[0], frameBytes(cMapMessage(0, "TER", map.getLayer(LAYER_TERRAIN))));
  EXPECT_EQ(frames[0].size(), 10016u);
  cObjectListNode* b = map.getBuildings()->getFirstNode();
  EXPECT_EQ(frames[1], frameBytes(cCreateObjectMessage(0, b->myData())));
  EXPECT_EQ(frames[2], frameBytes(cCreateObjectMessage(0, b->getNext()->myData())));
  EXPECT_EQ(frames[3], frameBytes(cCreateUnitMessage(
                           0, static_cast<cBaseUnit*>(map.getUnits()->getFirstNode()->myData()))));
  EXPECT_EQ(frames[4], hexBytes("00 0C 4D 41 50 30 30 30 30 2F 2F 2F"));
  EXPECT_EQ(std::string(frames[1].begin() + 2, frames[1].begin() + 5), "CRE");
  EXPECT_EQ(std::string(frames[3].begin() + 2, frames[3].begin() + 5), "CRU");
}

TEST_F(Player, DisconnectSendsTheCloseFrame)
{
  ScriptedServer server([](ScriptedServer& s) {
    handshake(s, "OK_", 2);
    s.frame();
    EXPECT_TRUE(s.peerClosed());
  });
  cPlayer p(-1);
  ASSERT_TRUE(connectQuietly(p, server.port));
  p.disconnect();
  EXPECT_FALSE(p.isConnected());
  EXPECT_FALSE(p.socketStatus());
  EXPECT_EQ(server.recorded().at(2), hexBytes("00 09 43 4C 53 30 30 30 30"));
}

namespace {

}  // namespace

TEST_F(Player, FailedConnectionsLeaveNoDescriptorBehind)
{
  const short port = short(freeLoopbackPort());  // nothing listens there
  const int before = openDescriptorCount();
  cPlayer p(-1);
  testing::internal::CaptureStderr();
  for (int attempt = 0; attempt < 20; ++attempt) EXPECT_FALSE(p.connectTo("127.0.0.1", port));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.substr(0, 33), "CLIENT: can't connect to server.\n");
  EXPECT_FALSE(p.isConnected());
  EXPECT_EQ(openDescriptorCount(), before);
  EXPECT_FALSE(p.socketStatus());
}

TEST_F(Player, ServerThatNeverAnswersFailsAndTheRetryIsClean)
{
  const int before = openDescriptorCount();
  cPlayer p(-1);
  {
    ScriptedServer silent([](ScriptedServer& s) {
      s.frame();
      EXPECT_TRUE(s.peerClosed());  // the client gives up and closes
    });
    EXPECT_FALSE(p.connectTo("127.0.0.1", silent.port));
    EXPECT_FALSE(p.socketStatus());
  }
  EXPECT_EQ(openDescriptorCount(), before);
  ScriptedServer server([](ScriptedServer& s) { handshake(s, "OK_", 5); });
  testing::internal::CaptureStdout();
  EXPECT_TRUE(p.connectTo("127.0.0.1", server.port));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(p.myID(), 5);
  EXPECT_EQ(server.recorded().at(1), textFrame("REG@"));
}

// Replies are waited for by time, not by a count of polls: a slow server within the budget is
// answered, a closed one gives up at once, a silent one after the budget.
TEST_F(Player, RepliesAreWaitedForByTimeAndAClosedConnectionEndsTheWaitAtOnce)
{
  cPlayer::replyBudgetMs = 1500;
  const struct {
    const char* what;
    std::function<void(ScriptedServer&)> script;
    int result;
    int atLeastMs, atMostMs;
  } cases[] = {
      {"slow",
       [](ScriptedServer& s) {
         handshake(s, "OK_", 2);
         s.frame();
         std::this_thread::sleep_for(std::chrono::milliseconds(400));
         s.reply(cMapMessage(0, "SND"));
       },
       10, 350, 1400},
      {"closed",
       [](ScriptedServer& s) {
         handshake(s, "OK_", 2);
         s.frame();
         s.hangUp();
       },
       -1, 0, 700},
      {"silent",
       [](ScriptedServer& s) {
         handshake(s, "OK_", 2);
         s.frame();
         s.frame();
       },
       -1, 1450, 3000},
  };
  for (const auto& c : cases) {
    ScriptedServer server(c.script);
    cPlayer p(-1);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(p.connectTo("127.0.0.1", server.port)) << c.what;
    const auto begin = std::chrono::steady_clock::now();
    const int result = p.queryMaps();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - begin)
                        .count();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_GE(ms, c.atLeastMs) << c.what;
    EXPECT_LE(ms, c.atMostMs) << c.what;
  }
}
