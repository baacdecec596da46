// Who may stop the real korvaned, its console on standard input, and its end on a signal:
// every player is told, and the program ends at once with status 0.
#include <signal.h>

#include <chrono>
#include <cstdio>

#include "servertest.h"

namespace {

// Registers name@box and expects the reply.
void registered(Client& c, const std::string& name)
{
  std::string status;
  long id = -1;
  ASSERT_TRUE(c.registerAs(name, "box", status, id)) << name;
  EXPECT_EQ(status, "OK_") << name;
}

// The player is told the server shuts down, and then its connection ends.
void toldOfTheEnd(const Client& c)
{
  std::string text;
  unsigned long from = 0;
  ASSERT_TRUE(c.readText(text, from, 1000));
  EXPECT_EQ(text, "Server shutting down.");
  EXPECT_EQ(from, fromServer);
  EXPECT_TRUE(c.closedWithin(1000));
}

}  // namespace

TEST_F(ServerTest, OperatorsOnlyAnOperatorAddressStopsTheServer)
{
  ASSERT_TRUE(startProgram({"--operator-address", "127.0.0.2"}));
  Client ann(port, "127.0.0.1");
  registered(ann, "ann");
  {
    Client early(port, "127.0.0.1");  // "DIE" as the very first frame
    early.send(frameOf("DIE"));
    EXPECT_TRUE(early.closedWithin(2000));
  }
  ASSERT_TRUE(waitOut("Error in version string\n", 2000));
  Client later(port, "127.0.0.1");
  registered(later, "bob");
  ann.send(frameOf("DIE"));  // from a registered player: a command, never a frame to relay
  ASSERT_TRUE(waitOut("refused DIE from 127.0.0.1\n", 2000, 2));
  ann.send(frameOf("LST"));
  EXPECT_EQ(ann.readText(), "k=1-ann@box player");
  EXPECT_EQ(ann.readText(), "k=2-bob@box player");
  EXPECT_TRUE(later.quietFor(100));
  EXPECT_EQ(program->waitExit(0), -1);
  EXPECT_EQ(out().find("DIE!"), std::string::npos);
  EXPECT_EQ(out().find("sending info before MAP"), std::string::npos);

  Client op(port, "127.0.0.2");
  ASSERT_TRUE(op.connected());
  op.send(frameOf("DIE"));
  EXPECT_EQ(program->waitExit(2000), 0);
  EXPECT_NE(out().find("DIE!\n"), std::string::npos);
  toldOfTheEnd(ann);
  toldOfTheEnd(later);
}

TEST_F(ServerTest, ConsoleLinesListTellAndStop)
{
  ASSERT_TRUE(startProgram({}, true));
  Client ann(port), bob(port);
  registered(ann, "ann");
  registered(bob, "bob");
  program->input("LST\nMSG zed@box:anyone?\nMSG ann@box:just you\r\nMSA hello all\nWHAT\n");
  std::string text;
  unsigned long from = 0;
  ASSERT_TRUE(ann.readText(text, from));
  EXPECT_EQ(text, "server: just you");
  EXPECT_EQ(from, fromServer);
  for (Client* c : {&ann, &bob}) EXPECT_EQ(c->readText(), "server: hello all");
  EXPECT_TRUE(waitOut("k=2-bob@box player 1\n", 2000));
  EXPECT_TRUE(waitOut("Unknown command: WHAT", 2000));
  EXPECT_TRUE(waitOut("No player zed@box.\n", 2000));
  program->input("DIE\n");
  EXPECT_EQ(program->waitExit(2000), 0);
  toldOfTheEnd(ann);
  toldOfTheEnd(bob);
}

// With its input at an end (as under a service manager) the server keeps serving; a signal
// ends it within a second, also with a connection stuck in its handshake.
TEST_F(ServerTest, SignalsEndTheServerWithinASecondTellingEveryPlayer)
{
  for (int sig : {SIGTERM, SIGINT}) {
    ASSERT_TRUE(startProgram({}, true));
    program->closeInput();
    Client ann(port), idle(port);
    registered(ann, "ann");
    idle.send(versionFrame());
    std::string reply;
    ASSERT_TRUE(idle.readFrame(reply)) << sig;
    ann.send(frameOf("LST"));
    EXPECT_EQ(ann.readText(), "k=1-ann@box player") << sig;
    const auto begin = std::chrono::steady_clock::now();
    program->signal(sig);
    EXPECT_EQ(program->waitExit(1000), 0) << sig;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1)) << sig;
    toldOfTheEnd(ann);
    EXPECT_TRUE(idle.closedWithin(1000)) << sig;
    program.reset();
    std::remove("err.txt");  // the next server's start-up line is looked for there
  }
}
