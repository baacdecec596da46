#include "world/host.h"

#include <gtest/gtest.h>

#include <string>

#include "support/testhost.h"

namespace {

// Without a host (the server) nothing is logged and the screen is 0 wide; hosts installed in
// turn answer until they go, and each leaves the one before in place.
TEST(Host, NestedHostsAnswerInTurnAndNoneLeavesTheDefaults)
{
  cHost* const before = setHost(nullptr);  // this program's width, put back at the end
  hostLog("lost %i\n", 1);
  hostReopenLog();
  hostFlushLog();
  EXPECT_EQ(hostScreenWidth(), 0);
  EXPECT_FALSE(hostDebugLog());
  {
    cTestHost outer([] { return 640; });
    hostLog("outer %s\n", "line");
    {
      cTestHost inner([] { return 1024; }, true);
      EXPECT_EQ(hostScreenWidth(), 1024);
      EXPECT_TRUE(hostDebugLog());
      hostLog("inner\n");
      hostReopenLog();
      EXPECT_EQ(inner.text(), "inner\n");
      EXPECT_EQ(inner.reopenings(), 1);
    }
    EXPECT_EQ(hostScreenWidth(), 640);
    EXPECT_FALSE(hostDebugLog());
    EXPECT_EQ(outer.text(), "outer line\n");
    EXPECT_EQ(outer.reopenings(), 0);
  }
  EXPECT_EQ(hostScreenWidth(), 0);
  EXPECT_EQ(setHost(before), nullptr);
}

// A line of any length reaches the host whole, however it is formatted.
TEST(Host, LongAndEmptyLinesArriveWhole)
{
  cTestHost host;
  const std::string wide(5000, 'x');
  hostLog("%s|%i", wide.c_str(), -7);
  hostLog("%s", "");
  hostLog("%%\n");
  EXPECT_EQ(host.text(), wide + "|-7%\n");
}

}  // namespace
