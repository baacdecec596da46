#include "sim/movement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>

namespace {
struct Grid {
  explicit Grid(cPoint size) : obstacles(size), scratch(size) {}
  cMapLayer obstacles;
  cMapLayer scratch;
  cObjectList units;  // not owning

  std::unique_ptr<cMapLayer> find(cPoint from, cPoint goal)
  {
    cMovement m(&obstacles, &scratch, &units);
    return std::unique_ptr<cMapLayer>(m.findPath(from, goal));
  }
  std::unique_ptr<cMapLayer> attack(cPoint from, cPoint goal, char range)
  {
    cMovement m(&obstacles, &scratch, &units);
    return std::unique_ptr<cMapLayer>(m.attackPath(from, goal, range, false));
  }
};
}  // namespace

TEST(Movement, RaysOnAnEmptyMapCountStepsFromTheGoal)
{
  Grid g(cPoint(15, 11));
  const cPoint goal(6, 4);
  auto path = g.find(cPoint(7, 4), goal);
  EXPECT_EQ(path->get(goal), 1);
  EXPECT_EQ(path->get(cPoint(7, 4)), 2);  // the unit one cell away
  for (int d = 1; d <= 8; ++d) {
    cPoint step = cDirection(d).getDirection();
    for (int n = 1;; ++n) {
      cPoint c = goal + step * n;
      if (c.x < 0 || c.y < 0 || c.x >= 15 || c.y >= 11) break;
      EXPECT_EQ(path->get(c), n + 1) << "direction " << d << " step " << n;
    }
  }
}

TEST(Movement, ABlockedGoalIsReachedAtTheHigherCost)
{
  Grid g(cPoint(12, 12));
  g.obstacles.fill(cRect(5, 5, 7, 7), 255);  // the goal building, anchored at (5, 5)
  auto path = g.find(cPoint(10, 10), cPoint(5, 5));
  // The first pass goes through buildings: its rays cost 5 a cell (10, 15, ...).
  EXPECT_EQ(path->get(cPoint(6, 5)), 10);
  EXPECT_EQ(path->get(cPoint(5, 6)), 10);
  EXPECT_EQ(path->get(cPoint(6, 6)), 10);
  EXPECT_EQ(path->get(cPoint(4, 4)), 2);
  EXPECT_GT(path->get(cPoint(10, 10)), 0);
}

TEST(Movement, CrossingAWallCostsThePenaltyPerBuildingCell)
{
  Grid g(cPoint(7, 3));
  g.obstacles.fill(cRect(3, 0, 4, 3), 255);
  auto path = g.find(cPoint(5, 1), cPoint(1, 1));
  EXPECT_EQ(path->get(cPoint(2, 1)), 2);
  EXPECT_EQ(path->get(cPoint(3, 1)), 2 + 21);
  EXPECT_EQ(path->get(cPoint(3, 2)), 2 + 21);
  EXPECT_EQ(path->get(cPoint(4, 1)), 24);
  EXPECT_EQ(path->get(cPoint(5, 1)), 25);
}

TEST(Movement, ColumnEdgesNeverWrap)
{
  // With a wall in column 1 the cells of column 0 are far from a goal in the last column,
  // though (0, 1) follows (5, 0) in cell order.
  Grid left(cPoint(6, 4));
  left.obstacles.fill(cRect(1, 0, 2, 4), 255);
  auto a = left.find(cPoint(0, 3), cPoint(5, 0));
  for (int y = 0; y < 4; ++y) EXPECT_GT(a->get(cPoint(0, y)), 20) << y;
  Grid right(cPoint(6, 4));
  right.obstacles.fill(cRect(4, 0, 5, 4), 255);
  auto b = right.find(cPoint(5, 3), cPoint(0, 1));
  for (int y = 0; y < 4; ++y) EXPECT_GT(b->get(cPoint(5, y)), 20) << y;
}

TEST(Movement, ScratchOnesArePassableWhateverTheObstacles)
{
  Grid g(cPoint(7, 3));
  g.obstacles.fill(cRect(3, 0, 4, 3), 255);
  g.scratch.place(cPoint(3, 1), 1);
  auto path = g.find(cPoint(5, 1), cPoint(1, 1));
  EXPECT_EQ(path->get(cPoint(3, 1)), 3);
  EXPECT_EQ(path->get(cPoint(5, 1)), 5);
}

TEST(Movement, AttackRangeAndLineOfSight)
{
  Grid g(cPoint(10, 10));
  cMovement m(&g.obstacles, &g.scratch, &g.units);
  EXPECT_TRUE(m.attackRange(cPoint(3, 4), cPoint(0, 0), 5, false));
  EXPECT_FALSE(m.attackRange(cPoint(4, 4), cPoint(0, 0), 5, false));
  g.obstacles.place(cPoint(2, 2), 255);
  EXPECT_FALSE(m.attackRange(cPoint(3, 3), cPoint(1, 1), 5, true));
  EXPECT_TRUE(m.attackRange(cPoint(3, 1), cPoint(1, 1), 5, true));
  EXPECT_TRUE(m.attackRange(cPoint(2, 2), cPoint(1, 1), 5, true));  // the candidate may be blocked
  // Walks toward the negative axes truncate toward zero: (5, 5) to (2, 4) tests (4, 5)
  // and (3, 5), not (4, 4).
  g.obstacles.place(cPoint(4, 4), 255);
  EXPECT_TRUE(m.attackRange(cPoint(2, 4), cPoint(5, 5), 5, true));
  g.obstacles.place(cPoint(4, 5), 255);
  EXPECT_FALSE(m.attackRange(cPoint(3, 4), cPoint(5, 5), 5, true));
}

TEST(Movement, AttackPathMarksFiringPositionsWithinRange)
{
  Grid g(cPoint(20, 20));
  g.obstacles.place(cPoint(10, 10), 255);  // the target
  g.obstacles.place(cPoint(12, 10), 255);
  auto path = g.attack(cPoint(0, 0), cPoint(10, 10), 5);
  EXPECT_EQ(path->get(cPoint(10, 10)), 1);
  EXPECT_EQ(path->get(cPoint(13, 14)), 1);
  EXPECT_EQ(path->get(cPoint(10, 15)), 1);
  EXPECT_EQ(path->get(cPoint(14, 14)), 2);  // out of range, next to a firing position
  EXPECT_NE(path->get(cPoint(12, 10)), 1);  // blocked: no firing position
  EXPECT_EQ(path->get(cPoint(0, 0)), 8);    // nearest firing position (7, 6): 7 steps, plus 1
}

TEST(Movement, MovingUnitsAreCoveredEvenOnUnreachedCells)
{
  Grid g(cPoint(5, 5));
  g.obstacles.place(cPoint(2, 2), 255);
  cBaseUnit walker(1, cPoint(2, 2), cIsoPoint(1, 1), 5), idle(1, cPoint(2, 2), cIsoPoint(1, 1), 5);
  walker.initMove(nullptr, cPoint(0, 0));
  g.units.addElement(&idle);
  EXPECT_EQ(g.find(cPoint(4, 4), cPoint(0, 0))->get(cPoint(2, 2)), 0);
  g.units.addElement(&walker);
  EXPECT_EQ(g.find(cPoint(4, 4), cPoint(0, 0))->get(cPoint(2, 2)), 3);
}

TEST(Movement, EverySearchEndsAndReachesItsStart)
{
  // Every start and goal on small maps, among them the first and last cell of the map.
  std::mt19937 rng(7);
  for (cPoint size : {cPoint(6, 5), cPoint(1, 6), cPoint(7, 1), cPoint(2, 2)}) {
    Grid g(size);
    for (int i = 0; i < g.obstacles.cellCount(); ++i)
      if (rng() % 10 < 3) g.obstacles.place(long(i), 255);
    for (int f = 0; f < g.obstacles.cellCount(); ++f) {
      for (int t = 0; t < g.obstacles.cellCount(); ++t) {
        cPoint from(f % size.x, f / size.x), goal(t % size.x, t / size.x);
        auto path = g.find(from, goal);
        auto range = g.attack(from, goal, 1);
        // The first and last cell never serve as a neighbour: a goal there spreads only
        // along its first rays, and a start may stay unreached. The search still ends.
        bool edgeGoal = t == 0 || t == g.obstacles.cellCount() - 1;
        if (!edgeGoal) {
          EXPECT_GT(path->get(from), 0) << size.x << "x" << size.y << " " << f << "->" << t;
        }
        EXPECT_GT(path->get(goal), 0);
        EXPECT_GE(range->get(from), 0);
      }
    }
  }
}

TEST(Movement, AGoalEnclosedByBuildingsAndStartsOffTheMap)
{
  Grid g(cPoint(9, 9));
  g.obstacles.fill(cRect(3, 3, 6, 6), 255);
  g.obstacles.place(cPoint(4, 4), 0);
  auto path = g.find(cPoint(0, 0), cPoint(4, 4));
  EXPECT_EQ(path->get(cPoint(4, 4)), 1);
  EXPECT_GT(path->get(cPoint(0, 0)), 21);
  EXPECT_EQ(g.find(cPoint(-5, 2), cPoint(4, 4))->get(cPoint(4, 4)), 1);
  auto nowhere = g.find(cPoint(0, 0), cPoint(9, 0));
  EXPECT_EQ(nowhere->get(cPoint(0, 0)), 0);
  EXPECT_EQ(g.attack(cPoint(0, 0), cPoint(-1, -1), 5)->get(cPoint(0, 0)), 0);
}
