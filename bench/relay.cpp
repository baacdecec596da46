// Relay load on a korvaned started here on loopback: N clients register, one sends moves at
// a fixed rate, the others receive. Prints relay latency (median, 99th percentile), frames
// relayed per second, frames lost or out of order, and the server's CPU time while idle.
// Usage: relay [seconds per run] (default 1); clients 2, 8 and 32.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/message.h"
#include "support/benchsupport.h"
#include "support/relayclients.h"
#include "support/testdirectory.h"

namespace {

// Each move carries its sequence number in its start point; no unit stands there, so the
// server's map stays as it is.
const cRelayTraffic moves = {
    [](int fd, long seq) {
      sendMessage(fd, cMoveMessage(0, cPoint(int(seq / 65536), int(seq % 65536)), cPoint(1, 1)));
    },
    [](const cMessage& m) {
      if (m.getType() != mtMove) return -1L;
      const cPoint from = static_cast<const cMoveMessage&>(m).from();
      return from.x * 65536L + from.y;
    }};

void runOnce(const std::string& program, int clients, double seconds, int rate)
{
  const cTestDirectory folder("korvane-relay");
  if (!folder.ok()) return;
  const int port = 20000 + getpid() % 20000 + clients;
  const pid_t server = startQuietServer(program, port);
  std::vector<int> fds;
  for (int k = 0; k < clients; ++k) fds.push_back(joinAs(port, k));
  std::string body;
  cMapLayer layer(cPoint(100, 100));
  sendMessage(fds[0], cMapMessage(0, "???"));
  readFrame(fds[0], body);
  sendMessage(fds[0], cMapMessage(0, "TER", &layer));
  const cRelayResult r = measureRelay(fds, seconds, rate, moves);

  const long idleStart = cpuTicks(server);
  const double idleSeconds = std::max(1.0, seconds);
  usleep(useconds_t(idleSeconds * 1e6));
  const double idleCpu =
      (cpuTicks(server) - idleStart) / double(sysconf(_SC_CLK_TCK)) / idleSeconds;

  std::printf(
      "%3d clients: latency median %7.1f us  p99 %7.1f us  relayed %8.0f frames/s  "
      "lost %ld  out of order %ld  idle CPU %.4f s/s\n",
      clients, r.medianUs, r.p99Us, r.framesPerSecond, r.lost, r.disorder, idleCpu);
  for (int fd : fds) close(fd);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
}

// The seconds per run: a positive number, or 1 without an argument; false for anything else.
bool parseArguments(int argc, char** argv, double& seconds)
{
  seconds = 1.0;
  if (argc == 1) return true;
  char* end = nullptr;
  seconds = argc == 2 ? std::strtod(argv[1], &end) : 0;
  return end && end != argv[1] && *end == '\0' && seconds > 0 && seconds <= 3600;
}

}  // namespace

int main(int argc, char** argv)
{
  double seconds;
  if (!parseArguments(argc, argv, seconds)) {
    std::fprintf(stderr,
                 "usage: relay [seconds per run]\n"
                 "  Relay latency of korvaned with 2, 8 and 32 clients; 1 s per run by "
                 "default.\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const std::string program = serverProgram();
  if (access(program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "relay: no server at %s\n", program.c_str());
    return 1;
  }
  const int rate = 1000;  // moves per second from the one sender
  std::printf("relay: %d moves/s for %.1f s per run; server %s\n", rate, seconds, program.c_str());
  for (int clients : {2, 8, 32}) runOnce(program, clients, seconds, rate);
  return 0;
}
