#include "sim/gameplaymap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "sim/builtinmap.h"
#include "turnsupport.h"
#include "world/changerules.h"
#include "world/testcatalogue.h"

namespace {
// A local game on the built-in map; the player (ID 0, not connected) owns its four units,
// soldiers of 20 hit points at (15, 15), (14, 15), (74, 75) and (18, 70).
class LocalGame : public ::testing::Test {
protected:
  LocalGame() : map(cPoint(100, 100))
  {
    loadBuiltinMap(map, 0);
    renumber(map);
  }
  cBaseUnit* unit(cPoint cell) { return static_cast<cBaseUnit*>(map._getObject(cell)); }
  cBaseUnit* enemy(cPoint cell, int health, int kind = 1)
  {
    auto u = new cBaseUnit(kind, 7, cell, cIsoPoint(1, 1, 1), health);
    EXPECT_TRUE(map.createUnit(&player, u));
    renumber(map);
    return u;
  }
  // Turns until done() holds, at most limit; answers the turns taken (limit + 1 if never).
  template <class Done>
  int turnsUntil(Done done, int limit)
  {
    for (int turn = 1; turn <= limit; ++turn) {
      map.processTurn(&player);
      if (done()) return turn;
    }
    return limit + 1;
  }
  static int chebyshev(cPoint a, cPoint b)
  {
    return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y));
  }

  TurnCatalogue catalogue;
  cGamePlayMap map;
  cPlayer player;
};
}  // namespace

TEST_F(LocalGame, GroupOrderSharesOnePathLayerFreedByItsLastUnit)
{
  cBaseUnit* a = unit(cPoint(15, 15));
  cBaseUnit* b = unit(cPoint(14, 15));
  map.addSelection(a);
  map.addSelection(b);
  const cPoint goal(20, 15);
  map.moveSelection(&player, goal);
  ASSERT_NE(a->getPathLayer(), nullptr);
  EXPECT_EQ(a->getPathLayer(), b->getPathLayer());
  EXPECT_EQ(a->getPathLayer()->getUsage(), 2);

  const int first = turnsUntil([&] { return !a->moving() || !b->moving(); }, 30);
  cBaseUnit* arrived = a->moving() ? b : a;
  cBaseUnit* waiting = a->moving() ? a : b;
  EXPECT_EQ(arrived->myPosition(), goal);
  EXPECT_EQ(arrived->getPathLayer(), nullptr);
  ASSERT_NE(waiting->getPathLayer(), nullptr);
  EXPECT_EQ(waiting->getPathLayer()->getUsage(), 1);

  // The one behind has only the occupied goal downhill: it waits, then gives up there.
  int longestWait = 0;
  const int more = turnsUntil(
      [&] {
        longestWait = std::max(longestWait, waiting->getWaitCount());
        return !waiting->moving();
      },
      60);
  EXPECT_LE(first + more, 60);
  EXPECT_EQ(longestWait, 40);
  EXPECT_EQ(waiting->getPathLayer(), nullptr);
  EXPECT_EQ(chebyshev(waiting->myPosition(), goal), 1);
  EXPECT_EQ(arrived->myPosition(), goal);
}

TEST_F(LocalGame, UnitWalksOneCellPerTurnToTheGoalAndStops)
{
  cBaseUnit* u = unit(cPoint(74, 75));
  map.addSelection(u);
  const cPoint start = u->myPosition(), goal(60, 90);
  map.moveSelection(&player, goal);
  for (int turn = 1; turn <= chebyshev(start, goal); ++turn) {
    const cPoint before = u->myPosition();
    EXPECT_TRUE(map.processTurn(&player));
    EXPECT_EQ(chebyshev(before, u->myPosition()), 1);
    EXPECT_EQ(map.getUnit(before), 0);
    EXPECT_EQ(map.getSelection(u->myPosition()), u);  // the layer holds its list position
  }
  EXPECT_EQ(u->myPosition(), goal);
  map.processTurn(&player);  // ends the order on the goal
  EXPECT_EQ(u->getUnitMode(), 0);
  EXPECT_FALSE(map.processTurn(&player));
  EXPECT_EQ(u->myPosition(), goal);
}

TEST_F(LocalGame, WalksKeepToTheStraightLineBetweenStartAndGoal)
{
  cBaseUnit* u = unit(cPoint(74, 75));
  map.addSelection(u);
  // Each walk starts where the one before ended: east, north, a shallow slant, a diagonal.
  for (cPoint goal : {cPoint(93, 75), cPoint(93, 56), cPoint(77, 61), cPoint(60, 78)}) {
    const cPoint start = u->myPosition();
    const double length = std::hypot(goal.x - start.x, goal.y - start.y);
    map.moveSelection(&player, goal);
    double widest = 0;
    const int turns = turnsUntil(
        [&] {
          const cPoint at = u->myPosition();
          double off = std::abs(double(goal.x - start.x) * (at.y - start.y) -
                                double(goal.y - start.y) * (at.x - start.x));
          widest = std::max(widest, off / length);
          return at == goal;
        },
        200);
    EXPECT_EQ(turns, chebyshev(start, goal)) << goal.x << "," << goal.y;
    EXPECT_LE(widest, 1.0) << goal.x << "," << goal.y;
  }
}

TEST_F(LocalGame, EveryUnitOfAGroupAttackReachesRangeAndFires)
{
  cBaseUnit* first = unit(cPoint(15, 15));
  cBaseUnit* second = unit(cPoint(14, 15));
  cBaseUnit* target = enemy(cPoint(30, 15), 1000);
  map.addSelection(first);
  map.addSelection(second);
  map.attackWithSelection(&player, cPoint(30, 15));
  auto inRange = [&](const cBaseUnit* u) {
    const int dx = u->myPosition().x - 30, dy = u->myPosition().y - 15;
    return u->getUnitMode() == 3 && dx * dx + dy * dy <= 25;
  };
  testing::internal::CaptureStdout();
  // The second unit finds the nearest firing cell taken and walks round to another one
  // instead of queueing behind it.
  EXPECT_LE(turnsUntil([&] { return inRange(first) && inRange(second); }, 30), 16);
  const int before = target->getHealth();
  turnsUntil([] { return false; }, 9);  // fire rate 2: three shots each
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(before - target->getHealth(), 2 * 3 * 7);
  EXPECT_TRUE(inRange(first));
  EXPECT_TRUE(inRange(second));
}

TEST_F(LocalGame, WallBuiltAcrossThePathMakesTheUnitSearchAgain)
{
  cBaseUnit* u = unit(cPoint(15, 15));
  map.addSelection(u);
  const cPoint goal(35, 15);
  map.moveSelection(&player, goal);
  for (int y = 5; y < 25; y += 2)
    ASSERT_TRUE(
        map.createBuilding(&player, new cBaseObject(1, 0, cPoint(25, y), cIsoPoint(2, 2, 1))));
  const int turns = turnsUntil([&] { return u->myPosition() == goal; }, 100);
  EXPECT_LE(turns, 100);
  EXPECT_GT(turns, 20);  // around the wall, not through it
}

TEST_F(LocalGame, AttackWalksIntoRangeFiresAtTheKindsRateAndRemovesTheDead)
{
  cBaseUnit* attacker = unit(cPoint(15, 15));
  cBaseUnit* target = enemy(cPoint(30, 30), 21);
  cBaseUnit* beside = enemy(cPoint(31, 30), 30);  // inside the blast's plus
  cBaseUnit* corner = enemy(cPoint(31, 31), 30);  // outside it
  map.addSelection(attacker);
  map.attackWithSelection(&player, cPoint(30, 30));
  EXPECT_EQ(attacker->getUnitMode(), 2);

  testing::internal::CaptureStdout();
  std::vector<int> shots;
  for (int turn = 1; turn <= 60 && shots.size() < 3; ++turn) {
    const int before = target->getHealth();
    map.processTurn(&player);
    if (target->getHealth() != before) {
      shots.push_back(turn);
      int dx = attacker->myPosition().x - 30, dy = attacker->myPosition().y - 30;
      EXPECT_LE(dx * dx + dy * dy, 25);
    }
  }
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(shots.size(), 3u);
  EXPECT_EQ(shots[1] - shots[0], 3);  // fire rate 2: one shot every third turn
  EXPECT_EQ(shots[2] - shots[1], 3);
  EXPECT_EQ(beside->getHealth(), 30 - 3 * 7);
  EXPECT_EQ(corner->getHealth(), 30);
  EXPECT_EQ(std::count(out.begin(), out.end(), 'D'), 1);
  EXPECT_EQ(target->getPlayerID(), -1);
  EXPECT_EQ(map.getUnit(cPoint(30, 30)), 0);
  EXPECT_EQ(listed(map.getRemoved()), std::vector<const cBaseObject*>{target});
  map.processTurn(&player);
  EXPECT_EQ(attacker->getUnitMode(), 0);
}

TEST_F(LocalGame, DestroyedBuildingIsRemovedWithALowerCaseD)
{
  cBaseUnit* attacker = unit(cPoint(15, 15));
  auto hut = new cBaseObject(0, 7, cPoint(24, 20), cIsoPoint(2, 2, 1), 10);
  ASSERT_TRUE(map.createBuilding(&player, hut));
  renumber(map);
  map.addSelection(attacker);
  map.attackWithSelection(&player, cPoint(25, 21));  // any cell of its footprint
  testing::internal::CaptureStdout();
  turnsUntil([&] { return hut->getPlayerID() == -1; }, 60);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::count(out.begin(), out.end(), 'd'), 1);
  EXPECT_EQ(std::count(out.begin(), out.end(), 'D'), 0);
  EXPECT_EQ(map.getObject(cPoint(25, 21)), 0);
  EXPECT_EQ(map.getBuildings()->number(), 6);
}

TEST_F(LocalGame, AttackersOfAnAlreadyDestroyedTargetStop)
{
  cBaseUnit* a = unit(cPoint(15, 15));
  cBaseUnit* b = unit(cPoint(14, 15));
  cBaseUnit* target = enemy(cPoint(30, 30), 21);
  map.addSelection(a);
  map.addSelection(b);
  map.attackWithSelection(&player, cPoint(30, 30));
  map.clearSelection();
  map.addSelection(target);
  EXPECT_EQ(map.damageSelection(&player, 100), 1);
  EXPECT_FALSE(map.hasSelection());
  // Someone else steps on the cell: the attackers must not take it for their target.
  cBaseUnit* newcomer = enemy(cPoint(30, 30), 30);
  bool fired = false;
  for (int turn = 0; turn < 60; ++turn) {
    map.movePeople(&player);
    fired |= map.attackWithPeople(&player);
    map.removeDeadUnits(&player);
  }
  EXPECT_FALSE(fired);
  EXPECT_EQ(a->getUnitMode(), 0);
  EXPECT_EQ(b->getUnitMode(), 0);
  EXPECT_EQ(newcomer->getHealth(), 30);
}

TEST_F(LocalGame, MoveSelectionNeedsAUnitOfThePlayerAndAGoalOnTheMap)
{
  cBaseObject* hut = map._getObject(cPoint(30, 6));
  cBaseUnit* u = unit(cPoint(15, 15));
  map.addSelection(hut);
  map.moveSelection(&player, cPoint(40, 40));
  EXPECT_EQ(u->getPathLayer(), nullptr);
  map.addSelection(u);
  map.moveSelection(&player, cPoint(100, 40));
  map.moveSelection(&player, cPoint(-1, 40));
  EXPECT_EQ(u->getPathLayer(), nullptr);
  cBaseUnit* foreign = enemy(cPoint(50, 50), 30);
  map.clearSelection();
  map.addSelection(foreign);
  map.moveSelection(&player, cPoint(40, 40));
  EXPECT_EQ(foreign->getPathLayer(), nullptr);
  map.attackWithSelection(&player, cPoint(15, 15));
  EXPECT_EQ(foreign->getUnitMode(), 0);
}

TEST_F(LocalGame, DamageSelectionCountsHealsDamagesAndRemoves)
{
  EXPECT_EQ(map.damageSelection(&player, 5), 0);
  cBaseUnit* u = unit(cPoint(15, 15));               // 20 of 40
  cBaseObject* hut = map._getObject(cPoint(30, 6));  // 100 of 100
  map.addSelection(u);
  map.addSelection(hut);
  EXPECT_EQ(map.damageSelection(&player, -5), 2);
  EXPECT_EQ(u->getHealth(), 25);
  EXPECT_EQ(hut->getHealth(), 100);
  EXPECT_EQ(map.damageSelection(&player, 25), 2);
  EXPECT_EQ(hut->getHealth(), 75);
  EXPECT_EQ(map.getUnits()->number(), 3);
  EXPECT_EQ(map.getUnit(cPoint(15, 15)), 0);
  EXPECT_EQ(listed(map.getSelectionList()), std::vector<const cBaseObject*>{hut});
  map.setTerrainUnderSelection(&player, 6);
  EXPECT_EQ(map.getTerrain(cPoint(31, 7)), 6);
  EXPECT_EQ(map.getTerrain(cPoint(32, 7)), 1);
}

TEST_F(LocalGame, RemovedUnitLeavesItsGroupsPath)
{
  cBaseUnit* a = unit(cPoint(15, 15));
  cBaseUnit* b = unit(cPoint(14, 15));
  map.addSelection(a);
  map.addSelection(b);
  map.moveSelection(&player, cPoint(60, 15));
  cMapLayer* path = a->getPathLayer();
  map.removeSelection(b);
  map.damageSelection(&player, 100);  // a dies while walking
  EXPECT_EQ(path->getUsage(), 1);
  EXPECT_EQ(b->getPathLayer(), path);
}

namespace {
// Units U at (3, 4) and V at (6, 1), listed U then V; U holds a one-step path to dest.
struct ResortCase {
  explicit ResortCase(cPoint dest) : map(cPoint(20, 20))
  {
    u = new cBaseUnit(1, 0, cPoint(3, 4), cIsoPoint(1, 1, 1), 20);
    v = new cBaseUnit(1, 0, cPoint(6, 1), cIsoPoint(1, 1, 1), 20);
    map.createUnit(&player, u);
    map.createUnit(&player, v);
    auto path = new cMapLayer(cPoint(20, 20));
    path->place(cPoint(3, 4), 2);
    path->place(dest, 1);
    path->setUsage(1);
    u->initMove(path, dest);
  }
  TurnCatalogue catalogue;
  cGamePlayMap map;
  cPlayer player;
  cBaseUnit* u;
  cBaseUnit* v;
};
}  // namespace

TEST(GamePlayMap, StepAlongTheSameDiagonalRowKeepsTheListOrder)
{
  ResortCase c(cPoint(4, 3));
  ASSERT_EQ(listed(*c.map.getUnits()), (std::vector<const cBaseObject*>{c.u, c.v}));
  EXPECT_TRUE(c.map.movePeople(&c.player));
  EXPECT_EQ(c.u->myPosition(), cPoint(4, 3));
  EXPECT_EQ(listed(*c.map.getUnits()), (std::vector<const cBaseObject*>{c.u, c.v}));
  EXPECT_EQ(c.map.getUnit(cPoint(4, 3)), 1);
  EXPECT_EQ(c.map.getUnit(cPoint(3, 4)), 0);
}

TEST(GamePlayMap, StepToAnotherDiagonalRowIsResorted)
{
  ResortCase c(cPoint(4, 4));
  EXPECT_TRUE(c.map.movePeople(&c.player));
  EXPECT_EQ(c.u->myPosition(), cPoint(4, 4));
  EXPECT_EQ(listed(*c.map.getUnits()), (std::vector<const cBaseObject*>{c.v, c.u}));
}

namespace {
// A 20 x 20 map: a wagon of the player's (two cells in x) anchored at `from`, holding a
// one-step path to `to`, and a soldier of another player that came from `soldierFrom` to
// `soldier`, which may be a cell of the wagon's (units come to share cells by moving).
struct WagonStep {
  WagonStep(cPoint from, cPoint to, cPoint soldierFrom, cPoint soldier)
      : map(cPoint(20, 20)), rules(cPoint(20, 20))
  {
    for (cMap* m : {static_cast<cMap*>(&rules), static_cast<cMap*>(&map)}) {
      wagon = new cBaseUnit(3, 0, from, metaList->retrieveUnitSize(3), 60);
      EXPECT_TRUE(m->addUnit(wagon));
      EXPECT_TRUE(m->addUnit(new cBaseUnit(1, 5, soldierFrom, cIsoPoint(1, 1, 1), 40)));
      renumber(*m);
      if (soldier != soldierFrom) {
        EXPECT_TRUE(applyMove(*m, soldierFrom, soldier));
      }
    }
    auto path = new cMapLayer(cPoint(20, 20));
    path->place(from, 2);
    path->place(to, 1);
    path->setUsage(1);
    wagon->initMove(path, to);
  }
  ScopedCatalogue catalogue;
  cGamePlayMap map;
  cMap rules;                  // the same world, moved by the change rule every copy applies
  cBaseUnit* wagon = nullptr;  // map's
  cPlayer player;
};
}  // namespace

// The player's own step marks every cell of a multi-cell unit, as the shared rule does, so
// that the player's map and every other copy of the game hold the same layers.
TEST(GamePlayMap, MultiCellUnitStepsMarkItsWholeFootprintLikeTheSharedRule)
{
  const cPoint away(9, 9);
  const struct {
    const char* what;
    cPoint from, to, soldierFrom, soldier;
    bool steps;
  } cases[] = {
      {"along x, into its own second cell", cPoint(3, 4), cPoint(4, 4), away, away, true},
      {"back, off a cell it shares", cPoint(5, 4), cPoint(4, 4), cPoint(7, 4), cPoint(6, 4), true},
      {"diagonally", cPoint(3, 4), cPoint(4, 5), away, away, true},
      {"up to the map's edge", cPoint(17, 4), cPoint(18, 4), away, away, true},
      {"with its second cell past the edge", cPoint(18, 4), cPoint(19, 4), away, away, false},
  };
  for (const auto& c : cases) {
    WagonStep w(c.from, c.to, c.soldierFrom, c.soldier);
    EXPECT_EQ(w.map.movePeople(&w.player), c.steps) << c.what;
    const cPoint at = c.steps ? c.to : c.from;
    EXPECT_EQ(w.wagon->myPosition(), at) << c.what;
    EXPECT_EQ(applyMove(w.rules, c.from, c.to), c.steps) << c.what;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(w.map.getUnit(cPoint(x, y)), w.rules.getUnit(cPoint(x, y)))
            << c.what << " at (" << x << ", " << y << ")";
    EXPECT_NE(w.map.getUnit(at), 0) << c.what;
    EXPECT_NE(w.map.getUnit(at + cPoint(1, 0)), 0) << c.what << ": the second cell";
    EXPECT_NE(w.map.getUnit(c.soldier), 0) << c.what << ": the soldier's cell";
  }
}
