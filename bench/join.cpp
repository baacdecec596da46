// What a joining player waits for: from the connection to the end of the download of a
// 100 x 100 map holding 200 buildings and units, from a korvaned started here on loopback.
// Measured in a fresh game and again after 100,000 changes have been relayed in the same game
// (ending with the same objects); prints both medians and their ratio (long / fresh).
// Usage: join [joins per phase] (default 31).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "net/message.h"
#include "net/player.h"
#include "net/protocol.h"
#include "sim/mapdownload.h"
#include "support/benchsupport.h"
#include "support/testdirectory.h"

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<cPlayer> connectAs(const std::string& name, int port)
{
  std::unique_ptr<cPlayer> p(new cPlayer(-1));
  p->setPlayerInfo(name.c_str(), "bench");
  for (int tries = 0; tries < 200; ++tries) {
    if (p->connectTo("127.0.0.1", short(port))) return p;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return nullptr;
}

// The first player: 100 buildings of 2 x 2 and 100 units on a 100 x 100 map.
void upload(cPlayer& owner)
{
  owner.queryMaps();
  cGamePlayMap map(cPoint(100, 100));
  for (int i = 0; i < 100; ++i) {
    map.addBuilding(new cBaseObject(i % 6, owner.myID(), cPoint(i % 10 * 10, i / 10 * 10),
                                    cIsoPoint(2, 2, 1), 100));
    map.addUnit(new cBaseUnit(1, owner.myID(), cPoint(i % 10 * 10 + 5, i / 10 * 10 + 5),
                              cIsoPoint(1, 1, 1), 40));
  }
  owner.sendMaps(&map);
}

// A full join: connection, registration, query and download. Milliseconds, or -1.
double joinOnce(int port, int k, size_t& objects)
{
  const auto begin = Clock::now();
  std::unique_ptr<cPlayer> p = connectAs("joiner" + std::to_string(k), port);
  if (!p || p->queryMaps() != 10) return -1;
  cMapDownload download;
  if (!receiveMap(*p, download, 5000)) return -1;
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
  objects = size_t(download.map()->getUnits()->number() + download.map()->getBuildings()->number());
  p->disconnect();
  return ms;
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// 100,000 changes that leave the objects as they were: steps there and back, units made and
// removed again; a paint of the far corner after them marks their end.
void queueChanges(cPlayer& owner)
{
  const auto queue = [&](const cMessage& m) { owner.addToQueue(m.encode(), m.encodedlength()); };
  for (int i = 0; i < 25000; ++i) {
    const cPoint home(i % 100 % 10 * 10 + 5, i % 100 / 10 * 10 + 5), next = home + cPoint(1, 0);
    const cPoint free(i % 97 % 10 * 10 + 7, i % 97 / 10 * 10 + 7);
    const cBaseUnit u(1, 0, free, cIsoPoint(1, 1, 1), 40);
    queue(cMoveMessage(0, home, next));
    queue(cMoveMessage(0, next, home));
    queue(cCreateUnitMessage(0, &u));
    queue(cRemoveMessage(0, cRect(free, free + cPoint(1, 1))));
  }
  queue(cMapSetMessage(0, cRect(99, 99, 100, 100), 9));
}

// A player in the game that takes in every relayed change; answers once the mark came.
bool watchChanges(cPlayer& watcher)
{
  std::vector<char> buffer(65536);
  for (;;) {
    int polls = 0;
    if (watcher.receiveWithin(buffer.data(), 65535, 10000, polls) <= 0) return false;
    const cDecodeMessage m(buffer.data(), watcher.lastBodyLength());
    if (m.realMessage()->getType() == mtMapSet) return true;
  }
}

}  // namespace

int main(int argc, char** argv)
{
  int joins = 31;
  if (argc > 2 ||
      (argc == 2 && ((joins = std::atoi(argv[1])) <= 0 || std::to_string(joins) != argv[1]))) {
    std::fprintf(stderr,
                 "usage: join [joins per phase]\n"
                 "  Join time of a 100 x 100 map with 200 objects, fresh and after 100,000 "
                 "relayed changes; 31 joins per phase by default.\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const std::string program = serverProgram();
  const cTestDirectory folder("korvane-join");
  if (access(program.c_str(), X_OK) != 0 || !folder.ok()) {
    std::fprintf(stderr, "join: no server at %s\n", program.c_str());
    return 1;
  }
  const int out = dup(1);  // the players' progress lines go nowhere, the figures here
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  const int port = freeLoopbackPort();
  const pid_t server = startQuietServer(program, port);
  std::unique_ptr<cPlayer> owner = connectAs("owner", port);
  if (!owner) return 1;
  upload(*owner);
  size_t uploaded = 0;  // the upload has no answer: joins until one sees all of it
  for (int k = 0; uploaded < 200 && k < 1000; ++k) joinOnce(port, 1000 + k, uploaded);
  std::vector<double> phases[2];
  size_t objects[2] = {};
  for (int phase = 0; phase < 2; ++phase) {
    if (phase == 1) {
      std::unique_ptr<cPlayer> watcher = connectAs("watcher", port);
      cMapDownload seen;
      if (!watcher || watcher->queryMaps() != 10 || !receiveMap(*watcher, seen, 5000)) return 1;
      bool marked = false;
      std::thread watch([&] { marked = watchChanges(*watcher); });
      queueChanges(*owner);
      owner->processQueue();
      watch.join();
      if (!marked) return 1;
      watcher->disconnect();
    }
    for (int k = 0; k < joins; ++k)
      phases[phase].push_back(joinOnce(port, phase * joins + k, objects[phase]));
  }
  const double fresh = median(phases[0]), longer = median(phases[1]);
  dprintf(out, "join: %d joins per phase, 100 x 100 map\n", joins);
  dprintf(out, "%-28s %10s %8s\n", "game", "median ms", "objects");
  dprintf(out, "%-28s %10.2f %8zu\n", "fresh", fresh, objects[0]);
  dprintf(out, "%-28s %10.2f %8zu\n", "after 100,000 changes", longer, objects[1]);
  dprintf(out, "%-28s %10s\n%-28s %10.2f\n", "", "ratio", "long / fresh",
          fresh > 0 ? longer / fresh : 0);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  return 0;
}
