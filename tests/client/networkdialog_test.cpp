// The network dialog in-process under the test's own Xvfb: keys handed to it directly, and
// its connections made to a real korvaned or to a listener of the test's own.
#include <gtest/gtest.h>

#include <allegro.h>

#include <memory>
#include <string>
#include <vector>

#include "client/clientsuite.h"
#include "client/networkdialog.h"
#include "net/player.h"
#include "net/socket.h"
#include "support/serverprocess.h"
#include "support/testdirectory.h"

namespace {
int keyOf(int scan, int ascii) { return scan << 8 | ascii; }
const int tab = keyOf(KEY_TAB, 9), backspace = keyOf(KEY_BACKSPACE, 8);
const int ret = keyOf(KEY_ENTER, 13), padEnter = keyOf(KEY_ENTER_PAD, 13), esc = keyOf(KEY_ESC, 27);

std::vector<int> typed(const std::string& text)
{
  std::vector<int> keys;
  for (char c : text) keys.push_back(keyOf(0, c));
  return keys;
}

// A dialog at 640 x 480 with its default texts, in a folder of its own.
class NetworkDialog : public testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_TRUE(openClientScreen()); }
  void SetUp() override
  {
    ASSERT_TRUE(directory.ok());
    dialog.reset(new cNetworkDialog());
  }
  cNetworkDialog::eChoice press(const std::vector<int>& keys)
  {
    cNetworkDialog::eChoice last = cNetworkDialog::choiceNone;
    for (int k : keys)
      if ((last = dialog->step(k)) != cNetworkDialog::choiceNone) break;
    return last;
  }
  // Tab to a box (counted from the name box), clear it and type text.
  void retype(int field, const std::string& text)
  {
    std::vector<int> keys(size_t(field) + 1, tab);
    keys.push_back(backspace);
    for (int k : typed(text)) keys.push_back(k);
    ASSERT_EQ(press(keys), cNetworkDialog::choiceNone);
    for (int i = field + 1; i < cNetworkDialog::fieldCount + 1; ++i) dialog->step(tab);
  }

  cTestDirectory directory;
  std::unique_ptr<cNetworkDialog> dialog;
};
}  // namespace

TEST_F(NetworkDialog, ReturnAndEscChooseEvenWhileABoxIsEdited)
{
  struct Case {
    const char* what;
    std::vector<int> keys;
    cNetworkDialog::eChoice choice;
    const char* name;  // the name box afterwards
    const char* port;
  } cases[] = {
      {"Return in the name box",
       {tab, keyOf(0, 'a'), ret},
       cNetworkDialog::choiceConnect,
       "a",
       "15201"},
      {"keypad Enter in the port box",
       {tab, tab, tab, tab, padEnter},
       cNetworkDialog::choiceConnect,
       "newuser",
       "15201"},
      {"Esc in the host box", {tab, tab, esc}, cNetworkDialog::choiceCancel, "newuser", "15201"},
      {"Esc with no box edited", {esc}, cNetworkDialog::choiceCancel, "newuser", "15201"},
      {"typing without a box edited goes nowhere", typed("xyz"), cNetworkDialog::choiceNone,
       "newuser", "15201"},
      {"Tab on to the port box, cleared and typed",
       {tab, tab, tab, tab, backspace, keyOf(0, '7'), keyOf(0, '7')},
       cNetworkDialog::choiceNone,
       "newuser",
       "77"},
  };
  for (const Case& c : cases) {
    dialog.reset(new cNetworkDialog());
    EXPECT_EQ(press(c.keys), c.choice) << c.what;
    EXPECT_STREQ(dialog->text(cNetworkDialog::fieldName), c.name) << c.what;
    EXPECT_STREQ(dialog->text(cNetworkDialog::fieldPort), c.port) << c.what;
    EXPECT_STREQ(dialog->text(cNetworkDialog::fieldServer), "127.0.0.1") << c.what;
    EXPECT_STREQ(dialog->text(cNetworkDialog::fieldHost), "localhost") << c.what;
  }
}

// A listener of the test's own stands at port p; the port texts that name p only modulo 65536
// or not in digits must reach no one, and the texts stay as typed for another try.
TEST_F(NetworkDialog, PortsOutsideOneTo65535InDigitsConnectNowhere)
{
  eListenFailure why = lfNone;
  const int listener = openListener(0, why);
  ASSERT_GE(listener, 0);
  const int p = boundPort(listener);
  const std::string wrapped = std::to_string(p + 65536);
  const std::string texts[] = {wrapped,
                               "0",
                               "-" + std::to_string(65536 - p),
                               std::to_string(p) + " ",
                               "+" + std::to_string(p),
                               "0x10",
                               "",
                               "99999999999999999999"};
  for (const std::string& port : texts) {
    retype(cNetworkDialog::fieldPort, port);
    EXPECT_EQ(dialog->connect(), nullptr) << port;
    EXPECT_EQ(dialog->status(),
              "Connect to 127.0.0.1:" + port.substr(0, 39) + " failed. Try again.")
        << port;
    EXPECT_EQ(dialog->text(cNetworkDialog::fieldPort), port.substr(0, 39)) << port;
    cWakeup wake;
    const int accepted = acceptWithin(listener, wake, 100);
    EXPECT_LT(accepted, 0) << port << " reached the listener";
    if (accepted >= 0) closeSocket(accepted);
  }
  closeSocket(listener);
}

TEST_F(NetworkDialog, ConnectsToARunningServerAndFailsOnAClosedPortOrAName)
{
  cServerProcess server("server.out", "server.err");
  ASSERT_TRUE(server.startOnFreePort());
  struct Case {
    const char* what;
    std::string server, port;
    bool connects;
  } cases[] = {
      {"a closed port", "127.0.0.1", std::to_string(freeLoopbackPort()), false},
      {"a host name, not an address", "localhost", std::to_string(server.port()), false},
      {"the server", "127.0.0.1", std::to_string(server.port()), true},
      {"the server, port with leading zeros", "127.0.0.1", "0" + std::to_string(server.port()),
       true},
  };
  for (const Case& c : cases) {
    dialog.reset(new cNetworkDialog());
    retype(cNetworkDialog::fieldServer, c.server);
    retype(cNetworkDialog::fieldPort, c.port);
    std::unique_ptr<cPlayer> player(dialog->connect());
    EXPECT_EQ(player != nullptr, c.connects) << c.what;
    if (player) {
      EXPECT_TRUE(player->isConnected()) << c.what;
      EXPECT_STREQ(player->getName(), "newuser") << c.what;
      EXPECT_STREQ(player->getHost(), "localhost") << c.what;
      EXPECT_STREQ(dialog->status(), "Enter Details.") << c.what;
      player->disconnect();
    } else {
      EXPECT_EQ(dialog->status(), "Connect to " + c.server + ":" + c.port + " failed. Try again.")
          << c.what;
    }
  }
}
