// The trace files stay bounded, keep their lines whole and always take them in the file that
// bears the name.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "net/tracefile.h"
#include "nettest.h"

namespace {

long long sizeOf(const char* name)
{
  struct stat s;
  return stat(name, &s) == 0 ? s.st_size : -1;
}

class TraceFile : public NetTest {
protected:
  void TearDown() override
  {
    setTraceLimit(64LL << 20);
    NetTest::TearDown();
  }
};

}  // namespace

TEST_F(TraceFile, WritersOfManyThreadsAndTwoProcessesStayUnderTheBound)
{
  EXPECT_EQ(traceLimit(), 64LL << 20);
  setTraceLimit(4000);
  const std::string line = std::string(37, 'x') + "\n";
  const pid_t other = fork();  // a second process writing into the same folder
  if (other == 0) {
    for (int i = 0; i < 2000; ++i) appendTrace("test17.txt", "other " + line);
    _exit(0);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 500; ++i) appendTrace("test17.txt", line);
    });
  for (std::thread& t : threads) t.join();
  waitpid(other, nullptr, 0);
  appendTrace("test17.txt", "last\n");
  for (const char* name : {"test17.txt", "test17.txt.1"}) {
    EXPECT_GT(sizeOf(name), 0) << name;
    EXPECT_LE(sizeOf(name), 4000 + 2 * 44) << name;  // a line past the bound, one per writer
    for (const std::string& l : linesOf(name))
      EXPECT_TRUE(l == line.substr(0, 37) || l == "other " + line.substr(0, 37) || l == "last")
          << l;
  }
  EXPECT_EQ(linesOf("test17.txt").back(), "last");
}

TEST_F(TraceFile, RenamedOrRemovedFileIsFollowedByTheNextLine)
{
  appendTrace("test15.txt", "one\n");
  ASSERT_EQ(rename("test15.txt", "elsewhere.txt"), 0);  // as another process's rotation does
  appendTrace("test15.txt", "two\n");
  ASSERT_EQ(unlink("test15.txt"), 0);
  appendTrace("test15.txt", "three\n");
  EXPECT_EQ(linesOf("elsewhere.txt"), std::vector<std::string>{"one"});
  EXPECT_EQ(linesOf("test15.txt"), std::vector<std::string>{"three"});
}
