#include "world/cunit.h"
#include "testcatalogue.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {
// A path layer whose values grow with the distance from goal (Chebyshev + 1).
cMapLayer* slope(cPoint size, cPoint goal, int usage)
{
  cMapLayer* p = new cMapLayer(size);
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x)
      p->place(cPoint(x, y), std::max(std::abs(x - goal.x), std::abs(y - goal.y)) + 1);
  p->setUsage(usage);
  return p;
}

struct Layers {
  cMapLayer units{cPoint(10, 10)};
  cMapLayer objects{cPoint(10, 10)};
};
}  // namespace

TEST(Object, HealthDownToDestructionAndCappedHealing)
{
  ScopedCatalogue catalogue;
  cBaseObject hut(1, cPoint(2, 2), cIsoPoint(2, 2, 1));
  EXPECT_EQ(hut.getHealth(), 100);
  hut.decrHealth(99);
  EXPECT_EQ(hut.getHealth(), 1);
  EXPECT_EQ(hut.getPlayerID(), 0);
  hut.incrHealth(500);
  EXPECT_EQ(hut.getHealth(), 100);
  hut.decrHealth(100);
  EXPECT_EQ(hut.getHealth(), 0);
  EXPECT_EQ(hut.getPlayerID(), -1);
}

TEST(Object, ExtremeChangesNeitherOverflowNorWrap)
{
  cBaseObject o(1, 3L, cPoint(), cIsoPoint(), 10);
  o.decrHealth(INT_MIN);  // a received "heal" of any size
  EXPECT_EQ(o.getHealth(), INT_MAX);
  o.decrHealth(INT_MAX);
  EXPECT_EQ(o.getPlayerID(), -1);
  cBaseObject p(1, cPoint(), cIsoPoint(), INT_MAX);
  p.incrHealth(INT_MAX);  // no catalogue: full health reads 0
  EXPECT_EQ(p.getHealth(), 0);
}

TEST(Object, CatalogueFiguresWithoutCatalogueOrForUnknownKinds)
{
  {
    cBaseObject b(3, cPoint(1, 1), cIsoPoint(2, 2));
    cBaseUnit u(1);
    EXPECT_EQ(b.getHealth(), 0);
    EXPECT_EQ(u.getFullHealth(), 0);
    EXPECT_STREQ(b.getDescription(), "");
    EXPECT_STREQ(u.getDescription(), "");
  }
  ScopedCatalogue catalogue;
  cBaseUnit soldier(1), half(1, 4L, cPoint(), cIsoPoint(1, 1)), stray(77);
  cBaseObject farm(3, 2L, cPoint(), cIsoPoint(2, 2)), bad(-5, cPoint(), cIsoPoint());
  EXPECT_EQ(soldier.getHealth(), 40);
  EXPECT_EQ(half.getHealth(), 20);
  EXPECT_STREQ(soldier.getDescription(), "Soldier");
  EXPECT_STREQ(farm.getDescription(), "Farm");
  EXPECT_EQ(farm.getPlayerID(), 2);
  EXPECT_EQ(stray.getFullHealth(), 0);
  EXPECT_EQ(bad.getHealth(), 0);
  EXPECT_EQ(soldier.myObjectType(), 1);
  EXPECT_EQ(farm.myObjectType(), 0);
}

TEST(Object, CopyTakesFiguresButNotSelectionOrType)
{
  cBaseObject source(4, 9L, cPoint(3, 5), cIsoPoint(3, 3, 2), 77);
  source.select();
  cBaseUnit target;
  target.copy(&source);
  EXPECT_EQ(target.myID(), 4);
  EXPECT_EQ(target.getHealth(), 77);
  EXPECT_EQ(target.getPlayerID(), 9);
  EXPECT_EQ(target.toRectArea(), cRect(3, 5, 6, 8));
  EXPECT_FALSE(target.isSelected());
  EXPECT_EQ(target.myObjectType(), 1);
}

TEST(ObjectList, DrawOrderInsertion)
{
  cObjectList list(true);
  cBaseObject* middle = new cBaseObject(1, cPoint(5, 5), cIsoPoint(1, 1), 1);
  list.addElementPos(middle);
  EXPECT_EQ(list.getFirstNode()->myData(), middle);
  // (8, 8) is in front of nothing listed: it goes last.
  cBaseObject* front = new cBaseObject(1, cPoint(8, 8), cIsoPoint(1, 1), 1);
  list.addElementPos(front);
  EXPECT_EQ(list.getLastNode()->myData(), front);
  // (2, 2) lies behind (5, 5): drawn before it.
  cBaseObject* back = new cBaseObject(1, cPoint(2, 2), cIsoPoint(1, 1), 1);
  list.addElementPos(back);
  EXPECT_EQ(list.getFirstNode()->myData(), back);
  // A second object on (5, 5) goes before the first one there (it stands in front of it).
  cBaseObject* twin = new cBaseObject(1, cPoint(5, 5), cIsoPoint(1, 1), 1);
  list.addElementPos(twin);
  EXPECT_EQ(list.getFirstNode()->getNext()->myData(), twin);
  EXPECT_EQ(list.number(), 4);
  EXPECT_EQ(list.getLastNode()->getPrev()->myData(), middle);
}

TEST(ObjectList, RemovalKeepsLinksAndRefusesStrangers)
{
  cBaseObject a(1), b(2), c(3), stranger(4);
  cObjectList list;
  list.addElement(&a);
  list.addElement(&b);
  list.addElement(&c);
  EXPECT_FALSE(list.removeElement(&stranger));
  EXPECT_EQ(list.number(), 3);
  EXPECT_TRUE(list.removeElement(&b));
  EXPECT_EQ(list.getFirstNode()->getNext()->myData(), &c);
  EXPECT_EQ(list.getLastNode()->getPrev()->myData(), &a);
  EXPECT_TRUE(list.removeElement(&a));
  EXPECT_TRUE(list.removeElement(&c));
  EXPECT_TRUE(list.isEmpty());
  EXPECT_EQ(list.getLastNode(), nullptr);
}

TEST(ObjectList, AssignmentCopiesNodesNotObjectsOrOwnership)
{
  cObjectList owning(true);
  owning.addElement(new cBaseObject(1));
  owning.addElement(new cBaseUnit(2));
  cObjectList view;
  view = owning;
  EXPECT_EQ(view.number(), 2);
  EXPECT_EQ(view.getFirstNode()->myData(), owning.getFirstNode()->myData());
  view = cObjectList();
  EXPECT_TRUE(view.isEmpty());
  EXPECT_EQ(owning.number(), 2);  // the owning list frees both objects at the end
}

TEST(Unit, StepTakesTheLowestNeighbourAndTiesGoToTheStraightLine)
{
  Layers l;
  cMapLayer* path = new cMapLayer(cPoint(10, 10));
  path->setUsage(1);
  path->place(cPoint(5, 5), 10);
  path->place(cPoint(6, 5), 2);  // lowest, though code 5
  path->place(cPoint(4, 5), 9);  // code 1: first in code order, but higher
  path->place(cPoint(4, 4), 11);
  cBaseUnit u(1, cPoint(5, 5), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(6, 5));
  EXPECT_EQ(u.move(&l.units, &l.objects), cPoint(6, 5));
  EXPECT_EQ(u.getUnitMode(), 1);
  // Nothing around (6, 5) is below 2: the order ends where the unit stands.
  EXPECT_EQ(u.move(&l.units, &l.objects), cPoint(6, 5));
  EXPECT_EQ(u.getUnitMode(), 0);
  EXPECT_EQ(u.getPathLayer(), nullptr);

  // Equal values all round: the cell nearest the line from the start to the goal wins, and
  // the direction code settles what is still tied.
  const struct {
    cPoint goal, first;
  } ties[] = {{{9, 5}, {6, 5}}, {{5, 0}, {5, 4}}, {{9, 9}, {6, 6}},
              {{9, 6}, {6, 5}}, {{9, 8}, {6, 6}}, {{5, 5}, {4, 5}}};
  for (const auto& t : ties) {
    cMapLayer* flat = new cMapLayer(cPoint(10, 10));
    flat->fill(cRect(0, 0, 10, 10), 3);
    flat->place(cPoint(5, 5), 4);
    flat->setUsage(1);
    cBaseUnit w(1, cPoint(5, 5), cIsoPoint(1, 1), 5);
    w.initMove(flat, t.goal);
    EXPECT_EQ(w.move(&l.units, &l.objects), t.first) << t.goal.x << "," << t.goal.y;
  }
}

TEST(Unit, BlockedByAUnitStepsAsideOnlyToAFreeCellWithAFreeWayDown)
{
  // Values grow with the walking distance to (5, 0) in straight steps: from (5, 2) the only
  // way down is (5, 1), held by another unit; (4, 1) and (6, 1) lie on the same level.
  const struct {
    const char* world;
    cPoint cells[3];  // extra units placed ((0, 0): none)
    cPoint after;
  } cases[] = {
      {"a free cell beside with a way down", {}, {4, 1}},
      {"the left side held, the right is taken", {{4, 1}}, {6, 1}},
      {"every way down from beside held", {{4, 0}, {5, 0}, {6, 0}}, {5, 2}},
      {"both sides held", {{4, 1}, {6, 1}}, {5, 2}},
  };
  for (const auto& c : cases) {
    Layers l;
    cMapLayer* path = new cMapLayer(cPoint(10, 10));
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) path->place(cPoint(x, y), std::abs(x - 5) + y + 1);
    path->setUsage(1);
    l.units.place(cPoint(5, 1), 1);
    for (cPoint p : c.cells)
      if (p != cPoint(0, 0)) l.units.place(p, 2);
    cBaseUnit u(1, cPoint(5, 2), cIsoPoint(1, 1), 5);
    u.initMove(path, cPoint(5, 0));
    EXPECT_EQ(u.move(&l.units, &l.objects), c.after) << c.world;
    EXPECT_EQ(u.getWaitCount(), 1) << c.world;  // stepping aside still counts as waiting
    EXPECT_EQ(u.getUnitMode(), 1) << c.world;
  }
}

TEST(Unit, OrderEndsAtTheGoalWithModeByOrderKind)
{
  Layers l;
  cBaseObject victim(1, cPoint(5, 5), cIsoPoint(1, 1), 10);
  cBaseUnit mover(1, cPoint(5, 6), cIsoPoint(1, 1), 5),
      attacker(1, cPoint(5, 6), cIsoPoint(1, 1), 5);
  cMapLayer* path = slope(cPoint(10, 10), cPoint(5, 6), 2);
  mover.initMove(path, cPoint(5, 6));
  attacker.initAttack(path, &victim);
  EXPECT_EQ(attacker.getTarget(), cPoint(5, 5));
  path->place(cPoint(5, 6), 0);  // distance 0 under both: they stop without moving
  EXPECT_EQ(mover.move(&l.units, &l.objects), cPoint(5, 6));
  EXPECT_EQ(attacker.move(&l.units, &l.objects), cPoint(5, 6));
  EXPECT_EQ(mover.getUnitMode(), 0);
  EXPECT_EQ(attacker.getUnitMode(), 3);
  EXPECT_FALSE(mover.moving());
}

TEST(Unit, WaitsOnUnitsAndGivesUpOnThe41stTurn)
{
  Layers l;
  cMapLayer* path = new cMapLayer(cPoint(10, 10));
  path->fill(cRect(0, 0, 10, 10), 20);
  path->place(cPoint(2, 5), 10);
  path->place(cPoint(1, 5), 9);  // the only downhill cell
  path->setUsage(1);
  cBaseUnit u(1, cPoint(2, 5), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(1, 5));
  l.units.place(cPoint(1, 5), 2);
  for (int turn = 1; turn <= 40; ++turn) {
    EXPECT_EQ(u.move(&l.units, &l.objects), cPoint(2, 5));
    EXPECT_EQ(u.getWaitCount(), turn);
    ASSERT_EQ(u.getUnitMode(), 1) << turn;
  }
  u.move(&l.units, &l.objects);
  EXPECT_EQ(u.getWaitCount(), 0);
  EXPECT_EQ(u.getUnitMode(), 0);
  EXPECT_EQ(u.getPathLayer(), nullptr);
}

TEST(Unit, WaitingEndsWhenTheWayClears)
{
  Layers l;
  cMapLayer* path = slope(cPoint(10, 10), cPoint(0, 5), 1);
  cBaseUnit u(1, cPoint(2, 5), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(0, 5));
  l.units.fill(cRect(1, 0, 2, 10), 3);
  u.move(&l.units, &l.objects);
  l.units.place(cPoint(1, 6), 0);
  EXPECT_EQ(u.move(&l.units, &l.objects), cPoint(1, 6));
  EXPECT_EQ(u.getWaitCount(), 0);
}

TEST(Unit, BlockedOnlyByBuildingsEndsWithRecalc)
{
  Layers l;
  cMapLayer* path = slope(cPoint(10, 10), cPoint(0, 5), 1);
  cBaseUnit u(1, cPoint(2, 5), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(0, 5));
  l.objects.fill(cRect(1, 0, 2, 10), 255);
  u.move(&l.units, &l.objects);
  EXPECT_TRUE(u.recalcPath());
  EXPECT_EQ(u.getUnitMode(), 0);
  // A later successful step clears the flag again.
  cMapLayer* next = slope(cPoint(10, 10), cPoint(9, 5), 1);
  u.initMove(next, cPoint(9, 5));
  u.setTarget(cPoint(9, 5));
  l.objects.place(cPoint(1, 4), 255);
  EXPECT_EQ(u.move(&l.units, &l.objects), cPoint(3, 5));
  EXPECT_FALSE(u.recalcPath());
}

TEST(Unit, OffMapCellsAreNeitherDownhillNorWaitingReasons)
{
  Layers l;
  cMapLayer* path = new cMapLayer(cPoint(10, 10));
  path->fill(cRect(0, 0, 10, 10), 400);
  path->setUsage(1);
  path->place(cPoint(0, 5), 300);  // off the map reads 255, lower than 300
  cBaseUnit u(1, cPoint(0, 5), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(9, 9));
  u.move(&l.units, &l.objects);
  EXPECT_EQ(u.getWaitCount(), 0);
  EXPECT_EQ(u.getUnitMode(), 0);  // nothing downhill on the map: the order ends
}

TEST(Unit, TwoBlockedCellsStillGiveUpAfter40)
{
  Layers l;
  cMapLayer* path = slope(cPoint(10, 10), cPoint(5, 0), 1);
  cBaseUnit u(1, cPoint(5, 2), cIsoPoint(1, 1), 5);
  u.initMove(path, cPoint(5, 0));
  l.units.fill(cRect(0, 1, 10, 2), 3);  // all three downhill cells hold units
  int turns = 0;
  while (u.moving() && turns < 1000) {
    u.move(&l.units, &l.objects);
    ++turns;
  }
  // Each blocked cell counts: 1 on the first turn, then 3 a turn; the 15th turn passes 40.
  // The two cells after the one that passed it must not start the count again.
  EXPECT_EQ(turns, 15);
}

TEST(Unit, SharedPathIsFreedWhenTheLastUserLetsGo)
{
  Layers l;
  cMapLayer* path = slope(cPoint(10, 10), cPoint(5, 5), 3);
  auto a = std::make_unique<cBaseUnit>(1, cPoint(5, 5), cIsoPoint(1, 1), 5);
  auto b = std::make_unique<cBaseUnit>(1, cPoint(5, 4), cIsoPoint(1, 1), 5);
  auto c = std::make_unique<cBaseUnit>(1, cPoint(1, 1), cIsoPoint(1, 1), 5);
  a->initMove(path, cPoint(5, 5));
  b->initMove(path, cPoint(5, 5));
  c->initMove(path, cPoint(5, 5));
  path->place(cPoint(5, 5), 0);
  a->move(&l.units, &l.objects);  // at the goal: lets go
  EXPECT_EQ(path->getUsage(), 2);
  b->initMove(nullptr, cPoint(0, 0));  // a new order lets go of the old one
  EXPECT_EQ(path->getUsage(), 1);
  c.reset();  // a unit destroyed while moving lets go too; the sanitizer build sees the free
  EXPECT_EQ(b->getPathLayer(), nullptr);
}

TEST(Unit, FireRateNFiresEveryNPlusOneTurns)
{
  ScopedCatalogue catalogue;
  Layers l;
  cBaseObject victim(1, 1L, cPoint(5, 5), cIsoPoint(1, 1), 10);
  l.objects.place(cPoint(5, 5), 1);
  cBaseUnit soldier(1, cPoint(5, 6), cIsoPoint(1, 1), 5);  // fire rate 2
  soldier.initAttack(nullptr, &victim);
  EXPECT_FALSE(soldier.attack(&l.units, &l.objects));  // mode 2: not yet attacking
  soldier.move(&l.units, &l.objects);                  // no path: stays in mode 2
  ASSERT_EQ(soldier.getUnitMode(), 2);
  cMapLayer* here = slope(cPoint(10, 10), cPoint(5, 6), 1);
  here->place(cPoint(5, 6), 0);
  soldier.initAttack(here, &victim);
  soldier.move(&l.units, &l.objects);
  ASSERT_EQ(soldier.getUnitMode(), 3);
  std::string shots;
  for (int turn = 0; turn < 9; ++turn) shots += soldier.attack(&l.units, &l.objects) ? 'F' : '.';
  EXPECT_EQ(shots, "..F..F..F");
  EXPECT_EQ(soldier.getDamageEffect().getLevel(), 7);
  EXPECT_EQ(soldier.getDamageEffect().getSize(), 1);
}

TEST(Unit, AttackStopsWhenTheTargetIsGoneAndFollowsAMovedOne)
{
  ScopedCatalogue catalogue;
  Layers l;
  cBaseUnit victim(2, 1L, cPoint(5, 5), cIsoPoint(1, 1), 10);
  l.units.place(cPoint(5, 5), 1);
  cBaseUnit archer(2, cPoint(5, 7), cIsoPoint(1, 1), 5);  // fire rate 0: every turn
  cMapLayer* here = slope(cPoint(10, 10), cPoint(5, 7), 1);
  here->place(cPoint(5, 7), 0);
  archer.initAttack(here, &victim);
  archer.move(&l.units, &l.objects);
  EXPECT_TRUE(archer.attack(&l.units, &l.objects));
  victim.move(cPoint(6, 5));
  EXPECT_FALSE(archer.attack(&l.units, &l.objects));
  EXPECT_EQ(archer.getTarget(), cPoint(6, 5));
  EXPECT_TRUE(archer.recalcPath());
  EXPECT_EQ(archer.getUnitMode(), 3);
  // The new target cell is empty on the unit layer: the attack ends.
  EXPECT_FALSE(archer.attack(&l.units, &l.objects));
  EXPECT_EQ(archer.getUnitMode(), 0);
}

TEST(Unit, AttackEndsOnADestroyedTarget)
{
  Layers l;
  cBaseObject victim(1, 1L, cPoint(5, 5), cIsoPoint(1, 1), 10);
  l.objects.place(cPoint(5, 5), 1);
  cBaseUnit u(0, cPoint(5, 6), cIsoPoint(1, 1), 5);
  cMapLayer* here = slope(cPoint(10, 10), cPoint(5, 6), 1);
  here->place(cPoint(5, 6), 0);
  u.initAttack(here, &victim);
  u.move(&l.units, &l.objects);
  EXPECT_TRUE(u.attack(&l.units, &l.objects));  // no catalogue: fire rate 0, damage 0
  EXPECT_EQ(u.getDamageEffect().getLevel(), 0);
  victim.decrHealth(10);
  EXPECT_FALSE(u.attack(&l.units, &l.objects));
  EXPECT_EQ(u.getUnitMode(), 0);
}
