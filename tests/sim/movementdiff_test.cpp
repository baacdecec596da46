// The fast fill against the plain sweeps: same layers, cell for cell, and the same number
// of passes, on random maps and orders. KORVANE_PATH_SEARCHES sets how many searches the
// random comparison runs (default 5000); a failure names the search number to rerun.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "sim/movement.h"

namespace {
// One random world: obstacles, a scratch layer and the units coverUnits looks at.
struct World {
  explicit World(cPoint size) : obstacles(size), scratch(size), units(true) {}
  cMapLayer obstacles, scratch;
  cObjectList units;  // owning
};

struct Order {
  cPoint from, goal;
  bool attack = false, lineOfSight = false;
  int range = 5;
};

struct Outcome {
  std::unique_ptr<cMapLayer> layer;
  int passes = 0;
};

Outcome search(World& w, const Order& o, eFillMethod method)
{
  cMovement m(&w.obstacles, &w.scratch, &w.units);
  m.setFillMethod(method);
  cMapLayer* layer = o.attack ? m.attackPath(o.from, o.goal, char(o.range), o.lineOfSight)
                              : m.findPath(o.from, o.goal);
  return Outcome{std::unique_ptr<cMapLayer>(layer), m.passCount()};
}

using Rng = std::mt19937;
int below(Rng& rng, int n) { return n <= 0 ? 0 : int(rng() % unsigned(n)); }

// Sides of 1 to 250, log-spread, usually small in area so that a run stays short.
cPoint randomSize(Rng& rng, int searchNo)
{
  auto side = [&](int most) { return std::min(most, int(std::exp2(below(rng, 800) / 100.0))); };
  const int area = searchNo % 400 == 0 ? 62500 : 2500;
  int w = side(250);
  int h = std::max(1, side(std::min(250, std::max(1, area / w))));
  return below(rng, 2) ? cPoint(w, h) : cPoint(h, w);
}

// Buildings as single cells, blocks and walls with gaps, up to about 60% of the map.
void build(World& w, Rng& rng)
{
  const cPoint size = w.obstacles.myMaxPos();
  const int want = w.obstacles.cellCount() * below(rng, 61) / 100;
  const int style = below(rng, 3);
  for (int placed = 0, tries = 0; placed < want && tries < 4 * want + 20; ++tries) {
    cPoint at(below(rng, size.x), below(rng, size.y));
    if (style == 0 || below(rng, 4) == 0) {
      placed += w.obstacles.get(at) == 0;
      w.obstacles.place(at, 1 + below(rng, 255));
    } else if (style == 1) {
      cPoint end(at.x + 1 + below(rng, 5), at.y + 1 + below(rng, 5));
      w.obstacles.fill(at, end, 255);
      placed += (end.x - at.x) * (end.y - at.y);
    } else {
      const bool across = below(rng, 2);
      const int length = 1 + below(rng, std::max(size.x, size.y));
      for (int k = 0; k < length; ++k)
        if (below(rng, 9) != 0)
          w.obstacles.place(across ? at + cPoint(k, 0) : at + cPoint(0, k), 255);
      placed += length;
    }
  }
}

void ring(World& w, cPoint centre)
{
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx != 0 || dy != 0) w.obstacles.place(centre + cPoint(dx, dy), 255);
}

// A cell of the map, a building or a free cell when there is one, a corner, the first or
// last cell, or a cell off the map.
cPoint randomCell(const World& w, Rng& rng)
{
  const cPoint size = w.obstacles.myMaxPos();
  switch (below(rng, 10)) {
    case 0: return cPoint(0, 0);
    case 1: return size - cPoint(1, 1);
    case 2: return cPoint(below(rng, 2) ? 0 : size.x - 1, below(rng, size.y));
    case 3: return cPoint(below(rng, size.x), below(rng, 2) ? 0 : size.y - 1);
    case 4:
      return cPoint(below(rng, 2) ? -1 - below(rng, 3) : size.x + below(rng, 3),
                    below(rng, size.y));
    default: break;
  }
  const bool wantBuilding = below(rng, 2);
  cPoint c(below(rng, size.x), below(rng, size.y));
  for (int k = 0; k < 30 && (w.obstacles.get(c) != 0) != wantBuilding; ++k)
    c = cPoint(below(rng, size.x), below(rng, size.y));
  return c;
}

// Scratch 1s on some cells (buildings among them), other values elsewhere.
void markScratch(World& w, Rng& rng)
{
  const int kind = below(rng, 6);
  if (kind > 1) return;
  const int n = 1 + below(rng, 6);
  for (int k = 0; k < n; ++k) {
    cPoint c(below(rng, w.obstacles.myMaxPos().x), below(rng, w.obstacles.myMaxPos().y));
    w.scratch.place(c, kind == 0 ? 1 : 2 + below(rng, 3));
  }
}

void addUnits(World& w, Rng& rng)
{
  const int n = below(rng, 3) == 0 ? below(rng, 8) : 0;
  const cPoint size = w.obstacles.myMaxPos();
  for (int k = 0; k < n; ++k) {
    auto* u = new cBaseUnit(1, cPoint(below(rng, size.x), below(rng, size.y)), cIsoPoint(1, 1), 5);
    if (k % 3 == 0)
      u->initMove(nullptr, cPoint(0, 0));
    else if (k % 3 == 1)
      u->initAttack(nullptr, nullptr);
    w.units.addElement(u);
  }
}

Order randomOrder(World& w, Rng& rng)
{
  Order o;
  o.goal = randomCell(w, rng);
  o.from = below(rng, 12) == 0 ? o.goal : randomCell(w, rng);
  if (below(rng, 8) == 0) ring(w, o.goal);
  if (below(rng, 8) == 0) ring(w, o.from);
  o.attack = below(rng, 2);
  o.range = below(rng, 18) - 2;
  o.lineOfSight = below(rng, 2);
  if (o.attack && below(rng, 4) == 0) {
    // A row of buildings across the firing disc can split it into two far groups.
    const int y = o.goal.y + below(rng, 2 * std::max(o.range, 1) + 1) - std::max(o.range, 1);
    w.obstacles.fill(cPoint(0, y), cPoint(w.obstacles.myMaxPos().x, y + 1), 255);
  }
  return o;
}

std::string describe(const World& w, const Order& o, int searchNo)
{
  std::ostringstream s;
  s << "search " << searchNo << ": " << w.obstacles.myMaxPos().x << "x" << w.obstacles.myMaxPos().y
    << " from (" << o.from.x << "," << o.from.y << ") goal (" << o.goal.x << "," << o.goal.y << ")";
  if (o.attack)
    s << " attack range " << o.range << (o.lineOfSight ? " with" : " without") << " line of sight";
  return s.str();
}

int searchCount()
{
  const char* env = std::getenv("KORVANE_PATH_SEARCHES");
  return env ? std::max(1, std::atoi(env)) : 5000;
}

// Runs both methods; answers whether they agree (and reports where they do not).
bool agree(World& w, const Order& o, const std::string& what)
{
  Outcome fast = search(w, o, FILL_FAST), sweeps = search(w, o, FILL_SWEEPS);
  EXPECT_EQ(fast.passes, sweeps.passes) << what;
  const int n = sweeps.layer->cellCount();
  const int* a = fast.layer->cellData();
  const int* b = sweeps.layer->cellData();
  for (int i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    ADD_FAILURE() << what << ": cell " << i << " fast " << a[i] << " sweeps " << b[i];
    return false;
  }
  return fast.passes == sweeps.passes;
}
}  // namespace

TEST(MovementDifferential, RandomSearchesGiveTheSweepsLayersAndPassCounts)
{
  const int total = searchCount();
  int failures = 0;
  for (int searchNo = 0; searchNo < total && failures < 5; ++searchNo) {
    Rng rng(unsigned(searchNo) * 2654435761u + 17);
    World w(randomSize(rng, searchNo));
    build(w, rng);
    markScratch(w, rng);
    addUnits(w, rng);
    Order o = randomOrder(w, rng);
    failures += !agree(w, o, describe(w, o, searchNo));
  }
}

// The cases where only the sweeps give the answer, each with a map that shows it.
TEST(MovementDifferential, CasesLeftToTheSweeps)
{
  struct Case {
    const char* name;
    const char* rows;  // '#' building, '1' scratch 1 on a building, '.' free; rows by '/'
    cPoint from, goal;
    bool attack;
    const char* topRow;  // the expected first row of the layer, or null
  };
  const Case cases[] = {
      {"second sweep writes nothing", "..../.###", cPoint(0, 1), cPoint(0, 1), false, "2 2 0 0"},
      {"disc cut by a row of buildings", "........../........../########../........../..........",
       cPoint(9, 4), cPoint(4, 2), true, nullptr},
      {"goal on the last cell", "...../...../.....", cPoint(4, 2), cPoint(4, 2), false, nullptr},
      {"goal on the first cell", "...../...../.....", cPoint(-1, 0), cPoint(0, 0), false, nullptr},
      {"building with a scratch 1", "......./..111../..1#1../..111../.......", cPoint(6, 4),
       cPoint(0, 0), false, nullptr},
  };
  for (const Case& c : cases) {
    std::string rows = c.rows;
    const int width = int(rows.find('/'));
    const int height = int(std::count(rows.begin(), rows.end(), '/')) + 1;
    World w(cPoint(width, height));
    rows.erase(std::remove(rows.begin(), rows.end(), '/'), rows.end());
    for (int i = 0; i < int(rows.size()); ++i) {
      if (rows[size_t(i)] != '.') w.obstacles.place(long(i), 255);
      if (rows[size_t(i)] == '1') w.scratch.place(long(i), 1);
    }
    Order o{c.from, c.goal, c.attack, false, 3};
    EXPECT_TRUE(agree(w, o, c.name));
    if (!c.topRow) continue;
    auto layer = search(w, o, FILL_FAST).layer;
    std::string top;
    for (int x = 0; x < width; ++x)
      top += (x ? " " : "") + std::to_string(layer->get(cPoint(x, 0)));
    EXPECT_EQ(top, c.topRow) << c.name;
  }
}
