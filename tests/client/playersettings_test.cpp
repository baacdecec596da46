// The player's settings file: what damaged files read as, and saves that replace the file
// whole or leave it untouched.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "client/playersettings.h"
#include "support/testdirectory.h"

namespace {
const cPlayerSettings defaults;

cPlayerSettings settings(const char* name, const char* host, const char* server, const char* port)
{
  cPlayerSettings s;
  s.name = name;
  s.host = host;
  s.server = server;
  s.port = port;
  return s;
}

void expectSettings(const cPlayerSettings& got, const cPlayerSettings& want, const char* what)
{
  EXPECT_EQ(got.name, want.name) << what;
  EXPECT_EQ(got.host, want.host) << what;
  EXPECT_EQ(got.server, want.server) << what;
  EXPECT_EQ(got.port, want.port) << what;
}
}  // namespace

TEST(PlayerSettings, DamagedFilesGiveTheDefaultsForTheirBadLines)
{
  const std::string forty(40, 'x'), thirtyNine(39, 'y');
  const struct Case {
    const char* what;
    std::string text;
    cPlayerSettings want;
  } cases[] = {
      {"empty", "", defaults},
      {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR=\xff\xfe", 20), defaults},
      {"no equals signs", "name ann\nport 80\n", defaults},
      {"unknown keys", "Name=ann\nplayer=ann\n=ann\n", defaults},
      {"all good, no final newline", "name=ann\nhost=box\nserver=10.0.0.7\nport=4464",
       settings("ann", "box", "10.0.0.7", "4464")},
      {"lines ending in CR LF", "name=ann\r\nport=4464\r\n",
       settings("ann", "localhost", "127.0.0.1", "4464")},
      {"overlong name, the rest good", "name=" + forty + "\nhost=box\n",
       settings("newuser", "box", "127.0.0.1", "15201")},
      {"the longest name that fits", "name=" + thirtyNine + "\n",
       settings(thirtyNine.c_str(), "localhost", "127.0.0.1", "15201")},
      {"port 0", "port=0\nname=ann\n", settings("ann", "localhost", "127.0.0.1", "15201")},
      {"port 65536", "port=65536\n", defaults},
      {"port with letters", "port=12ab\n", defaults},
      {"negative port", "port=-80\n", defaults},
      {"port with a space", "port= 80\n", defaults},
      {"the highest port", "port=65535\n", settings("newuser", "localhost", "127.0.0.1", "65535")},
      {"a tab in the host", "host=my\tbox\n", defaults},
      {"empty values", "name=\nhost=\nserver=\nport=\n", defaults},
      {"a later good line wins", "name=ann\nname=bob\nname=\n",
       settings("bob", "localhost", "127.0.0.1", "15201")},
      {"equals signs in a value", "host=a=b\n", settings("newuser", "a=b", "127.0.0.1", "15201")},
  };
  for (const Case& c : cases) {
    expectSettings(parsePlayerSettings(c.text), c.want, c.what);
    cTestDirectory directory;
    ASSERT_TRUE(directory.ok());
    writeFile(playerSettingsFile, c.text);
    expectSettings(loadPlayerSettings(), c.want, c.what);
  }
}

TEST(PlayerSettings, FilesThatCannotBeReadGiveDefaults)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  expectSettings(loadPlayerSettings(), defaults, "missing");
  ASSERT_EQ(mkdir("folder.cfg", 0755), 0);
  expectSettings(loadPlayerSettings("folder.cfg"), defaults, "a folder");
  // Past the 64 KiB read, a line cut in two must not count as a short value.
  std::string big = "name=ann\n" + std::string(64 * 1024 - 9 - 7, '#') + "\nport=15202\n";
  writeFile("big.cfg", big);
  expectSettings(loadPlayerSettings("big.cfg"), settings("ann", "localhost", "127.0.0.1", "15201"),
                 "larger than the read");
}

TEST(PlayerSettings, SaveReplacesADamagedFileWholeAndReadsBack)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  writeFile(playerSettingsFile, "name=" + std::string(300, 'z') + "\n\x01\x02garbage\nport=9\n");
  const cPlayerSettings mine = settings("ann", "box", "10.0.0.7", "4464");
  ASSERT_TRUE(savePlayerSettings(mine));
  EXPECT_EQ(fileText(playerSettingsFile), "name=ann\nhost=box\nserver=10.0.0.7\nport=4464\n");
  expectSettings(loadPlayerSettings(), mine, "read back");
  struct stat st;
  EXPECT_NE(stat("player.cfg.new", &st), 0) << "the temporary file stayed";
}

TEST(PlayerSettings, AFailedSaveLeavesNoFileBehind)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  // A folder where the file should be: the rename over it fails.
  ASSERT_EQ(mkdir(playerSettingsFile, 0755), 0);
  EXPECT_FALSE(savePlayerSettings(defaults));
  struct stat st;
  EXPECT_NE(stat("player.cfg.new", &st), 0) << "the temporary file stayed";
  // A folder where the temporary file should be: nothing is written at all.
  ASSERT_EQ(mkdir("other.cfg.new", 0755), 0);
  writeFile("other.cfg", "name=kept\n");
  EXPECT_FALSE(savePlayerSettings(defaults, "other.cfg"));
  EXPECT_EQ(fileText("other.cfg"), "name=kept\n");
}

TEST(PlayerSettings, ValuesAreCheckedAsTheNetworkDialogChecksThem)
{
  EXPECT_EQ(fitField(std::string("a\tb\nc\x7f") + std::string(50, 'd')),
            "abc" + std::string(36, 'd'));
  EXPECT_EQ(checkPlayerSettings(defaults), nullptr);
  const struct Case {
    cPlayerSettings s;
    bool good;
  } cases[] = {
      {settings("", "h", "s", "1"), false},      {settings("n", "", "s", "1"), false},
      {settings("n", "h", "", "1"), false},      {settings("n", "h", "s", "0"), false},
      {settings("n", "h", "s", "65536"), false}, {settings("n", "h", "s", "8o"), false},
      {settings("n", "h", "s", ""), false},      {settings("n", "h", "s", "1"), true},
      {settings("n", "h", "s", "65535"), true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(checkPlayerSettings(c.s) == nullptr, c.good) << c.s.name << "|" << c.s.port;
}
