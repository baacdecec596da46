#include "world/cunit.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "world/metadatabase.h"

namespace {
// Every catalogue question goes through these: no catalogue, or a kind outside its table
// (kinds arrive from the network), answers 0 or "".
bool isObjectKind(int kind)
{
  return metaList && kind >= 0 && kind < metaList->retrieveMaxObjects();
}
bool isUnitKind(int kind) { return metaList && kind >= 0 && kind < metaList->retrieveMaxUnits(); }

int objectHitPoints(int kind)
{
  return isObjectKind(kind) ? metaList->retrieveObjectHitPoints(kind) : 0;
}
int unitHitPoints(int kind) { return isUnitKind(kind) ? metaList->retrieveUnitHitPoints(kind) : 0; }

const char* orEmpty(const char* text) { return text ? text : ""; }

// The attack trace is written unbuffered so that it interleaves with other output in order.
void trace(const char* c) { (void)!write(STDOUT_FILENO, c, 1); }

int clampToInt(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v); }

bool onLayer(const cMapLayer* layer, cPoint p)
{
  const cPoint edge = layer->myMaxPos();
  return p.x >= 0 && p.y >= 0 && p.x < edge.x && p.y < edge.y;
}

bool isFree(const cMapLayer* units, const cMapLayer* objects, cPoint p)
{
  return units->get(p) == 0 && objects->get(p) == 0;
}

}  // namespace

// ---- cBaseObject

cBaseObject::cBaseObject(int kind, cPoint pos, cIsoPoint dim)
    : cBaseObject(kind, 0, pos, dim, objectHitPoints(kind))
{
}

cBaseObject::cBaseObject(int kind, long player, cPoint pos, cIsoPoint dim)
    : cBaseObject(kind, player, pos, dim, objectHitPoints(kind))
{
}

cBaseObject::cBaseObject(int kind, cPoint pos, cIsoPoint dim, int health)
    : cBaseObject(kind, 0, pos, dim, health)
{
}

cBaseObject::cBaseObject(int kind, long player, cPoint pos, cIsoPoint dim, int health)
    : position(pos), dimension(dim), kind(kind), health(health), playerID(player)
{
}

int cBaseObject::getFullHealth() const { return objectHitPoints(kind); }

const char* cBaseObject::getDescription() const
{
  return isObjectKind(kind) ? orEmpty(metaList->retrieveObjectDesc(kind)) : "";
}

cRect cBaseObject::toRectArea() const
{
  return cRect(position, position + cPoint(dimension.x, dimension.y));
}

void cBaseObject::decrHealth(int d)
{
  // Widened: a received change may be any 32-bit value, and a negative one heals.
  long long left = static_cast<long long>(health) - d;
  if (left > 0) {
    health = clampToInt(left);
  } else {
    health = 0;
    playerID = -1;
  }
}

void cBaseObject::incrHealth(int d)
{
  long long sum = static_cast<long long>(health) + d;
  int full = getFullHealth();
  health = sum >= full ? full : clampToInt(sum);
}

void cBaseObject::copy(const cBaseObject* other)
{
  if (!other) return;
  kind = other->kind;
  health = other->health;
  playerID = other->playerID;
  position = other->position;
  dimension = other->dimension;
}

bool cBaseObject::isIsoFront(cIsoPoint p) const
{
  const cPoint& P = position;
  const cIsoPoint& D = dimension;
  return (p.x < P.x + D.x && p.y < P.y + D.y) || (p.x <= P.x && p.y <= P.y + D.y - 1) ||
         (p.x <= P.x + D.x - 1 && p.y <= P.y - D.y);
}

bool cBaseObject::isIsoBehind(cIsoPoint p) const
{
  return p.x <= position.x - dimension.x || p.y <= position.y - dimension.y;
}

// ---- cBaseUnit

struct cBaseUnit::Step {
  cPoint cell;
  int value;
  long long offLine;
  long long along;  // progress toward the target, in the same scale as offLine
  int code;
  bool operator<(const Step& o) const
  {
    if (value != o.value) return value < o.value;
    if (offLine != o.offLine) return offLine < o.offLine;
    if (along != o.along) return along > o.along;
    return code < o.code;
  }
};

cBaseUnit::cBaseUnit() { initUnit(); }

cBaseUnit::cBaseUnit(int kind) : cBaseObject(kind, 0, cPoint(), cIsoPoint(), unitHitPoints(kind))
{
  initUnit();
}

cBaseUnit::cBaseUnit(int kind, cPoint pos, cIsoPoint dim)
    : cBaseObject(kind, 0, pos, dim, unitHitPoints(kind) / 2)
{
  initUnit();
}

cBaseUnit::cBaseUnit(int kind, long player, cPoint pos, cIsoPoint dim)
    : cBaseObject(kind, player, pos, dim, unitHitPoints(kind) / 2)
{
  initUnit();
}

cBaseUnit::cBaseUnit(int kind, cPoint pos, cIsoPoint dim, int health)
    : cBaseObject(kind, 0, pos, dim, health)
{
  initUnit();
}

cBaseUnit::cBaseUnit(int kind, long player, cPoint pos, cIsoPoint dim, int health)
    : cBaseObject(kind, player, pos, dim, health)
{
  initUnit();
}

cBaseUnit::~cBaseUnit() { releasePath(); }

void cBaseUnit::initUnit() { objectType = 1; }

int cBaseUnit::getFullHealth() const { return unitHitPoints(kind); }

const char* cBaseUnit::getDescription() const
{
  return isUnitKind(kind) ? orEmpty(metaList->retrieveUnitDesc(kind)) : "";
}

void cBaseUnit::releasePath()
{
  if (pathLayer) pathLayer->decrementUsage();
  pathLayer = nullptr;
}

void cBaseUnit::beginOrder(cMapLayer* path)
{
  releasePath();
  pathLayer = path;
  recalc = false;
  waitCount = 0;
  orderStart = position;
}

void cBaseUnit::initMove(cMapLayer* path, cPoint goal)
{
  beginOrder(path);
  unitMode = 1;
  target = goal;
}

void cBaseUnit::initAttack(cMapLayer* path, cBaseObject* obj)
{
  beginOrder(path);
  unitMode = 2;
  target = obj ? obj->myPosition() : target;
  targetObj = obj;
}

void cBaseUnit::setDamageEffect(int level, int size) { damageEffect = cDamage(level, size); }

void cBaseUnit::endOrder()
{
  unitMode = unitMode == 2 ? 3 : 0;
  releasePath();
}

cBaseUnit::Step cBaseUnit::rank(cPoint cell, int value, int code) const
{
  // Cross and dot products with the line from the start to the target: for one order they
  // grow with the cell's distance from the line and its progress along it.
  long long gx = target.x - orderStart.x, gy = target.y - orderStart.y;
  long long cx = cell.x - orderStart.x, cy = cell.y - orderStart.y;
  return Step{cell, value, std::llabs(gx * cy - gy * cx), gx * cx + gy * cy, code};
}

// The on-map neighbours of `at` whose path value lies in [low, high] (0 never counts), best
// first; answers how many were written to `out`.
int cBaseUnit::rankedSteps(cPoint at, int low, int high, Step* out) const
{
  int count = 0;
  for (int code = 1; code <= 8; ++code) {
    cPoint n = at + cDirection(code).getDirection();
    // Off the map the path reads 255, which can look downhill from a far cell.
    if (!onLayer(pathLayer, n)) continue;
    int v = pathLayer->get(n);
    if (v == 0 || v < low || v > high) continue;
    out[count++] = rank(n, v, code);
  }
  std::sort(out, out + count);
  return count;
}

cPoint cBaseUnit::move(cMapLayer* units, cMapLayer* objects)
{
  if (!moving() || !pathLayer) return position;
  int d = pathLayer->get(position);
  if (d == 0) waitCount = 0;
  bool wasWaiting = waitCount != 0, gaveUp = false;
  Step steps[8];
  int count = d == 0 ? 0 : rankedSteps(position, 1, d - 1, steps);
  for (int i = 0; i < count; ++i) {
    cPoint n = steps[i].cell;
    if (units->get(n) != 0) {
      // Once the count has passed 40 this turn, a second blocked cell must not restart it.
      if (!gaveUp) waitCount = wasWaiting ? waitCount + 1 : 1;
      if (waitCount > 40) {
        waitCount = 0;
        gaveUp = true;
      }
    } else if (objects->get(n) != 0) {
      recalc = true;
    } else {
      recalc = false;
      waitCount = 0;
      position = n;
      return position;
    }
  }
  if (waitCount != 0 && stepAside(units, objects, d)) return position;
  if (waitCount == 0) endOrder();
  return position;
}

// A group sharing one path would otherwise queue behind whoever holds the nearest cell.
// The wait count goes on, so units that keep stepping aside still give up in time.
bool cBaseUnit::stepAside(const cMapLayer* units, const cMapLayer* objects, int d)
{
  Step level[8], down[8];
  int count = rankedSteps(position, d, d, level);
  for (int i = 0; i < count; ++i) {
    if (!isFree(units, objects, level[i].cell)) continue;
    int below = rankedSteps(level[i].cell, 1, d - 1, down);
    for (int j = 0; j < below; ++j) {
      if (!isFree(units, objects, down[j].cell)) continue;
      position = level[i].cell;
      return true;
    }
  }
  return false;
}

bool cBaseUnit::attack(cMapLayer* units, cMapLayer* objects)
{
  if (unitMode != 3) return false;
  fireCounter += 1;
  trace("a");
  bool occupied = objects->get(target) != 0 || units->get(target) != 0;
  if (!occupied || !targetObj || targetObj->getPlayerID() == -1) {
    unitMode = 0;
    return false;
  }
  if (targetObj->myPosition() != target) {
    target = targetObj->myPosition();
    recalc = true;
    trace("r");
    return false;
  }
  trace("A");
  int fireRate = isUnitKind(kind) ? metaList->retrieveUnitFireRate(kind) : 0;
  if (fireCounter > fireRate) {
    setDamageEffect(isUnitKind(kind) ? metaList->retrieveUnitDamage(kind) : 0,
                    isUnitKind(kind) ? metaList->retrieveUnitAreaEffect(kind) : 0);
    fireCounter = 0;
    return true;
  }
  trace("R");
  return false;
}

// ---- cObjectList

cObjectList::~cObjectList()
{
  for (cObjectListNode* n = first; n; n = n->getNext())
    if (ownsData) delete n->myData();
  clearNodes();
}

cObjectList& cObjectList::operator=(const cObjectList& other)
{
  if (this == &other) return *this;
  clearNodes();
  for (cObjectListNode* n = other.first; n; n = n->getNext()) addElement(n->myData());
  return *this;
}

void cObjectList::clearNodes()
{
  while (first) {
    cObjectListNode* next = first->getNext();
    delete first;
    first = next;
  }
  last = nullptr;
}

int cObjectList::number() const
{
  int n = 0;
  for (cObjectListNode* node = first; node; node = node->getNext()) ++n;
  return n;
}

void cObjectList::addElement(cBaseObject* o) { insertElement(new cObjectListNode(o), nullptr); }

void cObjectList::addElementPos(cBaseObject* o)
{
  cIsoPoint anchor(o->myPosition());
  cObjectListNode* n = first;
  while (n && !n->myData()->isIsoFront(anchor)) n = n->getNext();
  insertElement(new cObjectListNode(o), n);
}

void cObjectList::insertElement(cObjectListNode* n, cObjectListNode* before)
{
  // Without a node to go before, n goes last.
  cObjectListNode* after = before ? before->getPrev() : last;
  n->setPrev(after);
  n->setNext(before);
  if (after)
    after->setNext(n);
  else
    first = n;
  if (before)
    before->setPrev(n);
  else
    last = n;
}

void cObjectList::unlink(cObjectListNode* n)
{
  if (n->getPrev())
    n->getPrev()->setNext(n->getNext());
  else
    first = n->getNext();
  if (n->getNext())
    n->getNext()->setPrev(n->getPrev());
  else
    last = n->getPrev();
}

bool cObjectList::removeElement(cBaseObject* o)
{
  for (cObjectListNode* n = first; n; n = n->getNext()) {
    if (n->myData() == o) {
      removeElement(n);
      return true;
    }
  }
  return false;
}

void cObjectList::removeElement(cObjectListNode* n)
{
  unlink(n);
  delete n;
}
