// Saving a game.
// 1. The time to write a 250 x 250 game with 5,000 objects to disk (copying, encoding,
//    writing, fsync of the file and its folder, rename), as the median of 20 writes.
// 2. Relay latency with 32 clients on a korvaned started here that holds that game: one
//    client paints a cell 1,000 times a second and the others receive the paints, once with
//    a save every second and once with none, in alternating rounds; the p99 of the first
//    over the second in the column "ratio".
// Usage: save [seconds per relay run] (default 3)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/message.h"
#include "net/savegame.h"
#include "support/benchsupport.h"
#include "support/relayclients.h"
#include "support/testdirectory.h"
#include "support/testgames.h"
#include "world/map.h"

namespace {

using Clock = std::chrono::steady_clock;

const int side = 250;  // cells
const int objects = 5000;
const int relayClients = 32;
const int paintRate = 1000;  // a second

double millisecondsSince(Clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// False when a write failed (the reason printed).
bool benchWrite(const cMap& map, int writes)
{
  std::vector<double> taking, encoding, whole;
  std::string bytes, reason;
  cGameCopy game;
  for (int i = 0; i < writes; ++i) {
    const Clock::time_point start = Clock::now();
    game.take(map);
    taking.push_back(millisecondsSince(start));
    game.encode(bytes);
    encoding.push_back(millisecondsSince(start) - taking.back());
    if (!writeSavedGame("write.kvs", bytes, reason)) {
      std::fprintf(stderr, "save: %s\n", reason.c_str());
      return false;
    }
    whole.push_back(millisecondsSince(start));
  }
  std::printf(
      "write %d x %d, %d objects, %zu bytes, median of %d: %.2f ms (copy %.2f ms, the "
      "server's only part under its lock; encoding %.2f ms), fastest %.2f ms, slowest %.2f ms\n",
      side, side, objects, bytes.size(), writes, median(whole), median(taking), median(encoding),
      *std::min_element(whole.begin(), whole.end()), *std::max_element(whole.begin(), whole.end()));
  return true;
}

// The kind the test game has at p, and the different one a paint gives it.
int originalKind(cPoint p) { return (p.x * 7 + p.y * 13) % 128; }
int paintedKind(cPoint p) { return (originalKind(p) + 1) % 128; }

// Paint number seq goes to the cell seq % side, seq / side: every paint changes the map.
const cRelayTraffic paints = {
    [](int fd, long seq) {
      const cPoint at(int(seq % side), int(seq / side));
      sendMessage(fd, cMapSetMessage(0, cRect(at.x, at.y, at.x + 1, at.y + 1), paintedKind(at)));
    },
    [](const cMessage& m) {
      if (m.getType() != mtMapSet) return -1L;
      const cRect area = static_cast<const cMapSetMessage&>(m).getArea();
      return long(area.top()) * side + area.left();
    }};

// The paints a state file holds: cells whose kind differs from the test game's.
int paintsKept(const std::string& file)
{
  std::string reason;
  bool missing;
  const std::unique_ptr<cMap> kept = readSavedGame(file, reason, missing);
  int painted = 0;
  for (int y = 0; kept && y < side; ++y)
    for (int x = 0; x < side; ++x)
      painted += kept->getTerrain(cPoint(x, y)) != originalKind({x, y});
  return painted;
}

// One relay run on a server that reads the game from `file` and writes it back every
// `interval` seconds; the server is killed at the end, so the file keeps only what those
// writes kept.
cRelayResult relayRun(const std::string& program, const std::string& file, const char* interval,
                      double seconds, int& kept)
{
  const int port = freeLoopbackPort();
  const pid_t server =
      startQuietServer(program, port, {"--state", file, "--save-interval", interval});
  std::vector<int> fds;
  for (int k = 0; k < relayClients; ++k) fds.push_back(joinAs(port, k));
  cRelayResult r;
  if (std::find(fds.begin(), fds.end(), -1) == fds.end())
    r = measureRelay(fds, seconds, paintRate, paints);
  for (int fd : fds) close(fd);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  kept = paintsKept(file);
  return r;
}

void printRelay(const char* name, const cRelayResult& r, const char* ratio)
{
  std::printf("%-20s %10.1f %10.1f %10.0f %6ld %8ld %7s\n", name, r.medianUs, r.p99Us,
              r.framesPerSecond, r.lost, r.disorder, ratio);
}

// One round: a run with no saves and one with a save every second, each on a fresh copy of
// the game; false when the copies cannot be written.
bool relayRound(const std::string& program, const std::string& bytes, double seconds,
                std::vector<cRelayResult>& none, std::vector<cRelayResult>& saving)
{
  std::string reason;
  for (const char* file : {"none.kvs", "saving.kvs"})
    if (!writeSavedGame(file, bytes, reason)) {
      std::fprintf(stderr, "save: %s\n", reason.c_str());
      return false;
    }
  int keptNone = 0, keptSaving = 0;
  none.push_back(relayRun(program, "none.kvs", "86400", seconds, keptNone));
  saving.push_back(relayRun(program, "saving.kvs", "1", seconds, keptSaving));
  std::printf(
      "round %zu: p99 %.1f us with no saves (paints kept %d), %.1f us with a save every "
      "second (paints kept %d)\n",
      none.size(), none.back().p99Us, keptNone, saving.back().p99Us, keptSaving);
  return true;
}

// Rounds alternate the two runs, so that a burst of load on the machine falls on both alike.
bool benchRelay(const std::string& bytes, double seconds, int rounds)
{
  const std::string program = serverProgram();
  if (access(program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "save: no server at %s\n", program.c_str());
    return false;
  }
  std::printf(
      "relay, %d clients, %d paints/s, %d rounds of %.1f s (paints kept: what the file "
      "holds when the server is killed)\n",
      relayClients, paintRate, rounds, seconds);
  std::vector<cRelayResult> none, saving;
  for (int round = 0; round < rounds; ++round)
    if (!relayRound(program, bytes, seconds, none, saving)) return false;
  const cRelayResult a = pooled(none), b = pooled(saving);
  std::printf("%-20s %10s %10s %10s %6s %8s %7s\n", "all rounds", "median us", "p99 us", "frames/s",
              "lost", "disorder", "ratio");
  printRelay("no saves", a, "");
  char ratio[32];
  std::snprintf(ratio, sizeof ratio, "%.2f", a.p99Us > 0 ? b.p99Us / a.p99Us : 0);
  printRelay("a save every second", b, ratio);
  return true;
}

// The seconds per relay run: a number from 1 to 60 (the paints fit the map), or 3 without
// an argument; false for anything else.
bool parseArguments(int argc, char** argv, double& seconds)
{
  seconds = 3.0;
  if (argc == 1) return true;
  char* end = nullptr;
  seconds = argc == 2 ? std::strtod(argv[1], &end) : 0;
  return end && end != argv[1] && *end == '\0' && seconds >= 1 && seconds <= 60;
}

}  // namespace

int main(int argc, char** argv)
{
  double seconds;
  if (!parseArguments(argc, argv, seconds)) {
    std::fprintf(stderr,
                 "usage: save [seconds per relay run]\n"
                 "  Writes a 250 x 250 game with 5,000 objects 20 times (with fsync), then\n"
                 "  measures relay latency with 32 clients with a save every second and with\n"
                 "  none, in 3 alternating rounds; 1 to 60 s per relay run, 3 by default.\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const cTestDirectory folder("korvane-save");
  if (!folder.ok()) return 1;
  cMap map(cPoint(side, side));
  if (fillTestGame(map, objects) != objects) {
    std::fprintf(stderr, "save: the test game has no room for %d objects\n", objects);
    return 1;
  }
  std::string bytes;
  if (!encodeSavedGame(map, bytes) || !benchWrite(map, 20)) return 1;
  return benchRelay(bytes, seconds, 3) ? 0 : 1;
}
