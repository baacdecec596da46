// The player list's delivery rules, on players attached to socket pairs.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/player.h"
#include "server/playerlist.h"
#include "server/serverengine.h"

namespace {

struct Attached {
  Attached(long id, const char* name, const char* host)
  {
    socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
    player = new cPlayer(id, fds[0]);
    player->setPlayerInfo(name, host);
  }
  ~Attached()
  {
    delete player;  // closes fds[0] unless dropped
    close(fds[1]);
  }
  int fds[2] = {-1, -1};
  cPlayer* player;
};

char* frame(const char* text)
{
  char* f = new char[std::strlen(text) + 1];
  std::strcpy(f, text);
  return f;
}

}  // namespace

TEST(PlayerList, SendAllSkipsSenderAndDisconnected)
{
  Attached a(0, "a", "h"), b(1, "b", "h"), c(2, "c", "h");
  cPlayerList list;
  for (Attached* x : {&a, &b, &c}) list.addPlayer(x->player);
  c.player->setSocket(0);
  close(c.fds[0]);
  list.sendMessageAll(a.player, frame("MOV"), 3);
  EXPECT_TRUE(a.player->isEmpty());
  ASSERT_EQ(b.player->number(), 1);
  EXPECT_EQ(std::string(b.player->head->myData(), 3), "MOV");
  EXPECT_TRUE(c.player->isEmpty());
  EXPECT_FALSE(c.player->isConnected());
  list.sendMessageAll(b.player, 1, "b: hi");
  ASSERT_EQ(a.player->number(), 1);
  EXPECT_EQ(std::string(a.player->head->myData(), 19),
            std::string("\x00\x13MSG0000\x00\x00\x00\x01\x00"
                        "b: hi",
                        19));
  EXPECT_EQ(b.player->number(), 1);
}

TEST(PlayerList, SendAllOnlySenderQueuesNothingAndFreesFrame)
{
  Attached a(0, "a", "h");
  cPlayerList list;
  list.addPlayer(a.player);
  list.sendMessageAll(a.player, frame("MOV0000"), 7);  // a leak would show under ASan
  EXPECT_TRUE(a.player->isEmpty());
}

TEST(PlayerList, LookupOnlyTheExactPairMatches)
{
  Attached ann(0, "ann", "box"), annElsewhere(1, "ann", "pc"), bob(2, "bob", "box");
  cPlayerList list;
  for (Attached* x : {&ann, &annElsewhere, &bob}) list.addPlayer(x->player);
  EXPECT_EQ(list.findPlayer("ann", "pc"), annElsewhere.player);
  EXPECT_EQ(list.findPlayer("bob", "box"), bob.player);
  EXPECT_FALSE(list.contains("Ann", "box"));
  EXPECT_FALSE(list.sendMessage("bob", "pc", 0, "x"));
  EXPECT_TRUE(list.sendMessage("ann", "pc", 0, "x"));
  EXPECT_EQ(annElsewhere.player->number(), 1);
  EXPECT_TRUE(ann.player->isEmpty());
}

// A player whose thread stops taking its queue is cut off rather than left to grow.
TEST(PlayerList, DeliverCutsOffPlayerPastPendingLimit)
{
  Attached a(0, "a", "h"), b(1, "b", "h");
  cPlayerList list;
  list.addPlayer(a.player);
  list.addPlayer(b.player);
  list.findNode(b.player)->attach(b.fds[0], nullptr);
  const int chunk = 60000;
  const long fits = cPlayerNode::maxPendingBytes / chunk;
  for (long i = 0; i <= fits; ++i) list.sendMessageAll(a.player, new char[chunk](), chunk);
  EXPECT_EQ(b.player->number(), fits);
  EXPECT_FALSE(b.player->isConnected());
  EXPECT_EQ(list.findNode(b.player)->myServeFd(), -1);
  char c;
  EXPECT_EQ(recv(b.fds[1], &c, 1, MSG_DONTWAIT), 0);  // its connection was shut down
  close(b.fds[0]);
}

TEST(ServerEngine, ReadUntilCutsToRoomAndCountsToStop)
{
  char dst[8];
  const std::string name(300, 'n');
  EXPECT_EQ(cServerEngine::readUntil(dst, (name + "@host").c_str(), '@', 8), 300);
  EXPECT_EQ(std::string(dst), "nnnnnnn");
  EXPECT_EQ(cServerEngine::readUntil(dst, "ab", '@', 8), 2);
  EXPECT_EQ(std::string(dst), "ab");
  EXPECT_EQ(cServerEngine::readUntil(dst, "@x", '@', 8), 0);
  EXPECT_EQ(std::string(dst), "");
}
