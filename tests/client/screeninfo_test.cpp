// The screen-mode file that the chooser and the Options screen write and start-up reads:
// what damaged files read as, and saves that replace the file whole or leave it as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "client/screeninfo.h"
#include "support/testdirectory.h"
#include "support/testhost.h"

namespace {
cScreenMode modeOf(int depth, int width, int height, int driver)
{
  cScreenMode m;
  m.myColourDepth = depth;
  m.myWidth = width;
  m.myHeight = height;
  m.myGraphicsDriver = driver;
  return m;
}

void expectMode(const cScreenMode& got, const cScreenMode& want, const std::string& what)
{
  EXPECT_EQ(got.myColourDepth, want.myColourDepth) << what;
  EXPECT_EQ(got.myWidth, want.myWidth) << what;
  EXPECT_EQ(got.myHeight, want.myHeight) << what;
  EXPECT_EQ(got.myGraphicsDriver, want.myGraphicsDriver) << what;
}

bool exists(const char* path)
{
  struct stat st;
  return stat(path, &st) == 0;
}
}  // namespace

TEST(ScreenInfo, DamagedLinesReadAsZeroWithoutShiftingTheOthers)
{
  const std::string longLine(100, '7');
  const struct Case {
    const char* what;
    std::string text;
    int lines;
    cScreenMode want;
  } cases[] = {
      {"all four", "32\n1024\n768\n2\n", 4, modeOf(32, 1024, 768, 2)},
      {"no final newline", "16\n800\n600\n0", 4, modeOf(16, 800, 600, 0)},
      {"lines ending in CR LF", "15\r\n640\r\n480\r\n1\r\n", 4, modeOf(15, 640, 480, 1)},
      {"two lines", "32\n1024\n", 2, modeOf(32, 1024, 0, 0)},
      {"empty", "", 0, modeOf(0, 0, 0, 0)},
      {"a word", "16\n800\n600\nwindowed\n", 4, modeOf(16, 800, 600, 0)},
      {"a number past int", "16\n99999999999\n600\n2\n", 4, modeOf(16, 0, 600, 2)},
      {"a negative number", "-24\n800\n600\n2\n", 4, modeOf(-24, 800, 600, 2)},
      {"digits then letters", "24bit\n800\n600\n2\n", 4, modeOf(24, 800, 600, 2)},
      {"a line longer than any buffer", longLine + "\n800\n600\n2\n", 4, modeOf(0, 800, 600, 2)},
      {"more than four lines", "24\n800\n600\n2\n99\n", 4, modeOf(24, 800, 600, 2)},
  };
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  for (const Case& c : cases) {
    writeFile(screenInfoFile, c.text);
    cScreenMode mode = modeOf(1, 2, 3, 4);
    EXPECT_EQ(readScreenInfo(mode), c.lines) << c.what;
    expectMode(mode, c.want, c.what);
  }
}

TEST(ScreenInfo, AMissingFileLeavesTheModeAndAFolderReadsNoLine)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  cScreenMode mode = modeOf(24, 640, 480, 2);
  EXPECT_EQ(readScreenInfo(mode), -1);
  expectMode(mode, modeOf(24, 640, 480, 2), "missing");
  ASSERT_EQ(mkdir(screenInfoFile, 0755), 0);
  EXPECT_EQ(readScreenInfo(mode), 0);
}

TEST(ScreenInfo, SaveReplacesTheFileWholeAndReadsBack)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  cTestHost host;
  writeFile(screenInfoFile, std::string(300, 'z') + "\n1\n2\n3\n4\n5\n");
  ASSERT_TRUE(saveScreenInfo(modeOf(32, 1280, 1024, 0)));
  EXPECT_EQ(fileText(screenInfoFile), "32\n1280\n1024\n0\n");
  cScreenMode back;
  EXPECT_EQ(readScreenInfo(back), 4);
  expectMode(back, modeOf(32, 1280, 1024, 0), "read back");
  EXPECT_FALSE(exists("screeninfo.inf.new")) << "the temporary file stayed";
  EXPECT_EQ(host.text(), "");
}

TEST(ScreenInfo, AFailedSaveLeavesTheFileAsItWasAndSaysSo)
{
  cTestDirectory directory;
  ASSERT_TRUE(directory.ok());
  // A folder where the file should be: the rename over it fails.
  ASSERT_EQ(mkdir(screenInfoFile, 0755), 0);
  {
    cTestHost host;
    EXPECT_FALSE(saveScreenInfo(modeOf(16, 800, 600, 2)));
    EXPECT_EQ(host.text(), "Could not save screeninfo.inf.\n");
  }
  EXPECT_FALSE(exists("screeninfo.inf.new")) << "the temporary file stayed";
  // A folder where the temporary file should be: the old file is kept unchanged.
  ASSERT_EQ(mkdir("other.inf.new", 0755), 0);
  writeFile("other.inf", "24\n640\n480\n2\n");
  cTestHost host;
  EXPECT_FALSE(saveScreenInfo(modeOf(16, 800, 600, 2), "other.inf"));
  EXPECT_EQ(fileText("other.inf"), "24\n640\n480\n2\n");
  EXPECT_EQ(host.text(), "Could not save screeninfo.inf.\n");
}
