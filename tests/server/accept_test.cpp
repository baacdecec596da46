// The real korvaned short of descriptors: its limit is lowered while it runs, so that exactly
// as many descriptors as a case needs are left to it.
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <vector>

#include "servertest.h"

namespace {

std::vector<int> openDescriptors(pid_t pid)
{
  std::vector<int> fds;
  DIR* d = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str());
  if (!d) return fds;
  while (const dirent* e = readdir(d))
    if (e->d_name[0] != '.') fds.push_back(std::atoi(e->d_name));
  closedir(d);
  return fds;
}

// The process's processor time so far (user and system), in clock ticks; -1 when unknown.
long cpuTicks(pid_t pid)
{
  const std::string stat = fileText("/proc/" + std::to_string(pid) + "/stat");
  const size_t end = stat.rfind(')');  // the name before it may hold spaces
  if (end == std::string::npos) return -1;
  std::istringstream fields(stat.substr(end + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {  // fields 14 and 15 are utime, stime
    if (n == 14) utime = std::atol(field.c_str());
    if (n == 15) stime = std::atol(field.c_str());
  }
  return fields ? utime + stime : -1;
}

// The descriptor limit under which the process can open exactly `room` more descriptors: new
// ones take the lowest free numbers below the limit.
rlim_t limitLeaving(const std::vector<int>& open, int room)
{
  for (rlim_t limit = 1;; ++limit) {
    int taken = 0;
    for (int fd : open) taken += rlim_t(fd) < limit;
    if (int(limit) - taken == room) return limit;
  }
}

std::unique_ptr<Client> registered(int port, const std::string& name)
{
  std::unique_ptr<Client> c(new Client(port));
  std::string status;
  long id = -1;
  EXPECT_TRUE(c->registerAs(name, "box", status, id)) << name;
  EXPECT_EQ(status, "OK_") << name;
  return c;
}

// Until the process holds no more than n descriptors; a test failure after 5 s.
void waitForDescriptors(pid_t pid, size_t n)
{
  for (int waited = 0; openDescriptors(pid).size() > n; waited += 10) {
    ASSERT_LT(waited, 5000) << "descriptors left open";
    usleep(10000);
  }
}

size_t count(const std::string& text, const std::string& needle)
{
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace

// Three players take the last descriptors; a fourth connection then waits in the listener's
// queue while every accept fails. The server reports the burst once and sleeps between tries
// instead of spinning; once it may open descriptors again it takes the waiting connection as
// a player, and goes on when the others leave. (The limit is raised before anyone leaves: a
// sanitizer's runtime needs spare descriptors for its own checks as threads end.)
TEST_F(ServerTest, AcceptFailingForWantOfDescriptorsBacksOffAndServesAgain)
{
  ASSERT_TRUE(startProgram());
  const pid_t pid = program->pid();
  std::vector<std::unique_ptr<Client>> players;
  players.push_back(registered(port, "p0"));
  const size_t oneServed = openDescriptors(pid).size();
  players.push_back(registered(port, "p1"));
  const int perPlayer = int(openDescriptors(pid).size() - oneServed);
  ASSERT_GT(perPlayer, 0);
  rlimit low = {};
  ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, nullptr, &low), 0);
  const rlimit usual = low;
  low.rlim_cur = limitLeaving(openDescriptors(pid), 3 * perPlayer);
  ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, &low, nullptr), 0);
  for (const char* name : {"p2", "p3", "p4"}) players.push_back(registered(port, name));

  Client waiting(port);
  ASSERT_TRUE(waiting.connected());
  for (int waited = 0; err().find("accept failed\n") == std::string::npos; waited += 10) {
    ASSERT_LT(waited, 10000) << err();
    usleep(10000);
  }
  const long before = cpuTicks(pid);
  usleep(2000000);  // the span measured, not a wait for anything
  const long spent = cpuTicks(pid) - before;
  ASSERT_GE(before, 0);
  EXPECT_LT(spent, sysconf(_SC_CLK_TCK) / 5) << "ticks in 2 s of failing accepts";
  EXPECT_NE(err().find("accept: Too many open files; trying again every 100 ms.\n"),
            std::string::npos)
      << err();

  ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, &usual, nullptr), 0);
  EXPECT_TRUE(waitOut("SERVER: accepting again after ", 10000)) << out();
  std::string status;
  long id = -1;
  ASSERT_TRUE(waiting.registerAs("late", "box", status, id));
  EXPECT_EQ(status, "OK_");
  players.clear();
  EXPECT_TRUE(waitOut("Return: -1\n", 10000, 5));
  registered(port, "new");
  EXPECT_EQ(count(err(), "accept failed\n"), 1u) << err();
  EXPECT_EQ(program->waitExit(0), -1);
}

// A connection accepted with one or two descriptors to spare cannot get the others it needs:
// it is closed with a line on the console, and the server goes on serving. One connection
// ends first, so that a sanitizer's runtime has seen that path with descriptors to spare: it
// takes some of its own to check code it runs for the first time.
TEST_F(ServerTest, AcceptAConnectionShortOfDescriptorsIsClosedAndServingGoesOn)
{
  ASSERT_TRUE(startProgram());
  const pid_t pid = program->pid();
  std::unique_ptr<Client> first = registered(port, "first");
  const size_t served = openDescriptors(pid).size();
  registered(port, "gone");
  ASSERT_TRUE(waitOut("Return: -1\n", 5000));
  waitForDescriptors(pid, served);
  rlimit limit = {};
  ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, nullptr, &limit), 0);
  const rlimit usual = limit;
  for (int room : {1, 2}) {
    SCOPED_TRACE(room);
    limit.rlim_cur = limitLeaving(openDescriptors(pid), room);
    ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, &limit, nullptr), 0);
    Client late(port);
    EXPECT_TRUE(late.closedWithin(5000)) << err();
    EXPECT_TRUE(waitOut("SERVER: no descriptor left to serve 127.0.0.1.\n", 5000, room));
    ASSERT_TRUE(waitOut("Return: -1\n", 5000, room + 1));
    waitForDescriptors(pid, served);
  }
  ASSERT_EQ(prlimit(pid, RLIMIT_NOFILE, &usual, nullptr), 0);
  registered(port, "second");
  first->send(frameOf("LST"));
  EXPECT_EQ(first->readText(), "k=1-first@box player");
  EXPECT_EQ(first->readText(), "k=2-gone@box player");
  EXPECT_EQ(first->readText(), "k=3-second@box player");
}
