#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "client/paths.h"
#include "support/testdirectory.h"
#include "world/host.h"

namespace {

struct PlanCase {
  const char* what;
  const char* exeFolder;
  bool dataBeside;
  const char* xdgDataHome;
  const char* home;
  bool installed;
  const char* dataFolder;
  const char* playerFolder;
};

TEST(ClientFolders, FollowTheRunFolderOrTheInstalledLayout)
{
  const PlanCase cases[] = {
      {"run folder", "/src/build/release/run", true, "/x", "/home/p", false, "", ""},
      {"installed, XDG set", "/usr/games", false, "/home/p/data", "/home/p", true,
       "/usr/share/games/korvane", "/home/p/data/korvane"},
      {"installed, XDG unset", "/usr/games", false, nullptr, "/home/p", true,
       "/usr/share/games/korvane", "/home/p/.local/share/korvane"},
      {"XDG empty counts as unset", "/opt/k/games", false, "", "/home/p", true,
       "/opt/k/share/games/korvane", "/home/p/.local/share/korvane"},
      {"relative XDG is ignored", "/usr/games", false, "data", "/home/p", true,
       "/usr/share/games/korvane", "/home/p/.local/share/korvane"},
      {"no home at all", "/usr/games", false, nullptr, nullptr, true, "/usr/share/games/korvane",
       ""},
      {"program at the root", "", false, "/d", nullptr, true, "/share/games/korvane", "/d/korvane"},
  };
  for (const PlanCase& c : cases) {
    const cClientFolders f = planClientFolders(c.exeFolder, c.dataBeside, c.xdgDataHome, c.home);
    EXPECT_EQ(f.installed, c.installed) << c.what;
    EXPECT_EQ(f.dataFolder, c.dataFolder) << c.what;
    EXPECT_EQ(f.playerFolder, c.playerFolder) << c.what;
  }
}

TEST(ClientFolders, MakeFoldersCreatesParentsAndRefusesWhatIsNoFolder)
{
  cTestDirectory dir("korvane-paths");
  ASSERT_TRUE(dir.ok());
  const std::string base = dir.myPath();
  std::FILE* f = std::fopen((base + "/plain").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  mkdir((base + "/there").c_str(), 0755);
  struct Case {
    std::string path;
    bool made;
  } cases[] = {
      {base + "/a/b/c/korvane", true},  {base + "/there", true},
      {base + "/double//slash/", true}, {base + "/plain", false},
      {base + "/plain/korvane", false}, {"", false},
  };
  for (const Case& c : cases) {
    const std::string reason = makeFolders(c.path);
    struct stat info;
    const bool folder = stat(c.path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    EXPECT_EQ(reason.empty(), c.made) << c.path << ": " << reason;
    EXPECT_EQ(folder, c.made) << c.path;
  }
}

TEST(ClientFolders, DataFilesComeFromTheDataFolderOnceOneIsSet)
{
  EXPECT_EQ(hostDataFile("times.ttf"), "times.ttf");
  setHostDataFolder("/usr/share/games/korvane");
  EXPECT_EQ(hostDataFile("tarvix.dat#global_background1"),
            "/usr/share/games/korvane/tarvix.dat#global_background1");
  setHostDataFolder("");
  EXPECT_EQ(hostDataFile("background.jpg"), "background.jpg");
}

}  // namespace
