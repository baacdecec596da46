// Times findPath and attackPath, by the plain sweeps and by the fast fill, against a plain
// 8-neighbour breadth-first distance fill over the same grid and passability. Prints the
// median microseconds per search, the ratio fast / bfs, and the worst ratio last.
// Usage: pathsearch [searches per case] (default 51).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/builtinmap.h"
#include "sim/movement.h"
#include "world/metadatabase.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Case {
  const char* name;
  cMapLayer obstacles;
  std::vector<cPoint> starts, goals, targets;  // targets: building cells for attackPath
};

cMetaDataItem kind(int w, int h, int hitPoints)
{
  cMetaDataItem item;
  item.size = cIsoPoint(w, h, 1);
  item.hitPoints = hitPoints;
  return item;
}

// The built-in map needs building and unit sizes from a catalogue.
std::unique_ptr<cMetaDatabase> benchCatalogue()
{
  std::vector<cMetaDataItem> objects = {kind(1, 1, 1),   kind(2, 2, 100), kind(2, 2, 100),
                                        kind(2, 2, 100), kind(3, 3, 100), kind(3, 3, 100)};
  std::vector<cMetaDataItem> units = {kind(1, 1, 10), kind(1, 1, 40)};
  return std::make_unique<cMetaDatabase>(std::vector<cMetaDataItem>(2), objects, units);
}

void pickEndpoints(Case& c, int n, unsigned seed)
{
  std::mt19937 rng(seed);
  cPoint size = c.obstacles.myMaxPos();
  while (int(c.starts.size()) < n || int(c.goals.size()) < n || int(c.targets.size()) < n) {
    cPoint p(int(rng() % size.x), int(rng() % size.y));
    bool free = c.obstacles.get(p) == 0;
    if (!free && int(c.targets.size()) < n)
      c.targets.push_back(p);
    else if (free && int(c.starts.size()) < n)
      c.starts.push_back(p);
    else if (free && int(c.goals.size()) < n)
      c.goals.push_back(p);
  }
}

Case builtinCase(int n)
{
  cMap map(cPoint(100, 100));
  loadBuiltinMap(map, 0);
  Case c{"built-in 100x100", *map.getLayer(LAYER_OBJECTS), {}, {}, {}};
  pickEndpoints(c, n, 11);
  return c;
}

Case randomCase(const char* name, int side, int percentBuilt, unsigned seed, int n)
{
  Case c{name, cMapLayer(cPoint(side, side)), {}, {}, {}};
  std::mt19937 rng(seed);
  int want = side * side * percentBuilt / 100;
  for (int placed = 0; placed < want;) {
    long i = long(rng() % unsigned(side * side));
    if (c.obstacles.get(i) == 0) {
      c.obstacles.place(i, 255);
      ++placed;
    }
  }
  pickEndpoints(c, n, seed + 100);
  return c;
}
}  // namespace

namespace {
// The reference: distances from goal (1) over free cells and the start cell, 8 neighbours.
// The distance array is fresh per search, like the search's result layer; the queue is
// reused.
std::vector<int> bfs(const cMapLayer& obstacles, cPoint from, cPoint goal, std::vector<int>& queue)
{
  const int W = obstacles.myMaxPos().x, H = obstacles.myMaxPos().y;
  const int* ob = obstacles.cellData();
  std::vector<int> dist(size_t(W) * H, 0);
  const int start = from.y * W + from.x;
  int head = 0, tail = 0;
  queue[tail++] = goal.y * W + goal.x;
  dist[queue[0]] = 1;
  while (head < tail) {
    int i = queue[head++], x = i % W, y = i / W;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        int nx = x + dx, ny = y + dy, n = ny * W + nx;
        if (nx < 0 || ny < 0 || nx >= W || ny >= H || dist[n] != 0) continue;
        if (ob[n] != 0 && n != start) continue;
        dist[n] = dist[i] + 1;
        queue[tail++] = n;
      }
    }
  }
  return dist;
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

template <class F>
double timeEach(int n, F&& run)
{
  std::vector<double> us;
  for (int k = 0; k < n; ++k) {
    auto t0 = Clock::now();
    run(k);
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  return median(us);
}

struct Row {
  const char* caseName;
  const char* search;
  double sweepsUs, fastUs, bfsUs;
  int unreached;
  double ratio() const { return fastUs / bfsUs; }
};

void report(const Row& r)
{
  std::printf("%-28s %-11s %10.1f %10.1f %10.1f %7.2f %9d\n", r.caseName, r.search, r.sweepsUs,
              r.fastUs, r.bfsUs, r.ratio(), r.unreached);
}

// One search kind toward one list of goals: the sweeps, the fast fill and the bfs.
Row timeSearch(Case& c, const char* search, const std::vector<cPoint>& goals, int n)
{
  const bool attack = std::strcmp(search, "attackPath") == 0;
  cMapLayer scratch(c.obstacles.myMaxPos());
  std::vector<int> queue(size_t(c.obstacles.cellCount()));
  int unreached = 0;
  volatile int sink = 0;
  auto run = [&](eFillMethod method, int k) {
    cMovement m(&c.obstacles, &scratch, nullptr);
    m.setFillMethod(method);
    std::unique_ptr<cMapLayer> path(attack ? m.attackPath(c.starts[k], goals[k], 5, false)
                                           : m.findPath(c.starts[k], goals[k]));
    return path->get(c.starts[k]) == 0;
  };
  Row r{c.name, search, 0, 0, 0, 0};
  r.sweepsUs = timeEach(n, [&](int k) { run(FILL_SWEEPS, k); });
  r.fastUs = timeEach(n, [&](int k) { unreached += run(FILL_FAST, k); });
  r.bfsUs =
      timeEach(n, [&](int k) { sink = sink + bfs(c.obstacles, c.starts[k], goals[k], queue)[0]; });
  r.unreached = unreached;
  return r;
}

int usage()
{
  std::fprintf(stderr, "usage: pathsearch [searches per case]   (a positive number, default 51)\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv)
{
  int n = 51;
  if (argc > 2) return usage();
  if (argc == 2) {
    char* end = nullptr;
    long v = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || v < 1 || v > 100000) return usage();
    n = int(v);
  }
  std::unique_ptr<cMetaDatabase> catalogue = benchCatalogue();
  useCatalogue(catalogue.get());
  Case cases[] = {builtinCase(n), randomCase("100x100, 30% built", 100, 30, 1, n),
                  randomCase("250x250, 30% built", 250, 30, 2, n),
                  randomCase("250x250, 55% built", 250, 55, 3, n)};
  std::printf("median of %d searches per case (microseconds per search); ratio = fast / bfs\n", n);
  std::printf("%-28s %-11s %10s %10s %10s %7s %9s\n", "case", "search", "sweeps", "fast", "bfs",
              "ratio", "unreached");
  Row worst{"", "", 0, 0, 1, 0};
  auto measure = [&](Case& c, const char* search, const std::vector<cPoint>& goals) {
    Row r = timeSearch(c, search, goals, n);
    report(r);
    if (r.ratio() > worst.ratio()) worst = r;
  };
  for (int k = 0; k < 3; ++k) {
    measure(cases[k], "findPath", cases[k].goals);
    measure(cases[k], "attackPath", cases[k].targets);
  }
  Case& dense = cases[3];
  dense.name = "250x250, 55%, free goal";
  measure(dense, "findPath", dense.goals);
  measure(dense, "attackPath", dense.goals);
  dense.name = "250x250, 55%, goal built";
  measure(dense, "findPath", dense.targets);
  measure(dense, "attackPath", dense.targets);
  useCatalogue(nullptr);
  std::printf("worst ratio %.2f: %s, %s\n", worst.ratio(), worst.caseName, worst.search);
  return 0;
}
