#include "sim/gameplaymap.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

#include "net/changemessage.h"
#include "net/message.h"
#include "sim/movement.h"
#include "world/changerules.h"

namespace {
// Unbuffered, so that the traces interleave in order with the units' attack trace.
void trace(const char* text)
{
  for (const char* c = text; *c; ++c) (void)!write(STDOUT_FILENO, c, 1);
}

int clamp16(long long v) { return v > 32767 ? 32767 : v < -32768 ? -32768 : int(v); }
}  // namespace

cGamePlayMap::cGamePlayMap(cPoint size) : cPlayerMap(size) {}

void cGamePlayMap::queue(cPlayer* p, const cMessage& m)
{
  if (p->isConnected()) p->addToQueue(m.encode(), m.encodedlength());
}

void cGamePlayMap::announce(cPlayer* p, const cMessage& m)
{
  if (!p->isConnected()) return;
  p->addToQueue(m.encode(), m.encodedlength());
  p->processQueue();
}

// ---- one turn

bool cGamePlayMap::processTurn(cPlayer* p)
{
  bool changed = false;
  receiveOne(p, changed);
  return playLocalUnits(p) | changed;
}

bool cGamePlayMap::processTurnDraining(cPlayer* p, int cap)
{
  const bool changed = receiveWaiting(p, cap);
  return playLocalUnits(p) | changed;
}

bool cGamePlayMap::receiveWaiting(cPlayer* p, int cap)
{
  bool changed = false;
  for (int taken = 0; taken < cap && receiveOne(p, changed);) ++taken;
  return changed;
}

bool cGamePlayMap::playLocalUnits(cPlayer* p)
{
  bool changed = movePeople(p);
  changed |= attackWithPeople(p);
  changed |= removeDeadUnits(p);
  p->processQueue();
  return changed;
}

bool cGamePlayMap::receiveOne(cPlayer* p, bool& changed)
{
  if (!p->isConnected()) return false;
  std::fill(receiveBuffer.begin(), receiveBuffer.end(), 0);
  if (p->recvMessageNonBlocking(receiveBuffer.data(), maxFrameBody) <= 0) return false;
  const cDecodeMessage decoded(receiveBuffer.data(), p->lastBodyLength());
  changed |= applyMessage(decoded.realMessage());
  return true;
}

bool cGamePlayMap::applyMessage(const cMessage* m)
{
  if (m->getType() == mtText) {
    keepText(static_cast<const cTextMessage*>(m)->getMessage());
    return false;
  }
  if (m->getType() == mtMove) {
    auto mv = static_cast<const cMoveMessage*>(m);
    char line[64];
    std::snprintf(line, sizeof line, "MOVE (%x,%x)-(%x,%x)\n", mv->from().x, mv->from().y,
                  mv->to().x, mv->to().y);
    trace(line);
  }
  std::unique_ptr<cBaseObject> gone;
  const bool changed = applyChangeMessage(*this, *m, gone);
  if (gone) retire(gone.release());
  if (m->getType() == mtDamageArea) {
    auto blast = static_cast<const cDamageAreaMessage*>(m);
    noteBlast(blast->getCenter(), blast->getSize());
  }
  return changed;
}

void cGamePlayMap::noteBlast(cPoint centre, int size)
{
  if (!includes(centre)) return;
  if (blasts.size() >= maxWaitingBlasts) blasts.erase(blasts.begin());
  blasts.push_back(cBlastMark{centre, size});
}

std::vector<cGamePlayMap::cBlastMark> cGamePlayMap::takeBlasts()
{
  std::vector<cBlastMark> taken;
  taken.swap(blasts);
  return taken;
}

// Bytes outside printable ASCII would reach the log and the canvas as they are.
void cGamePlayMap::keepText(std::string text)
{
  for (char& c : text)
    if (c < 32 || c > 126) c = '?';
  if (texts.size() >= maxWaitingTexts) texts.pop_front();
  texts.push_back(std::move(text));
}

bool cGamePlayMap::takeText(std::string& text)
{
  if (texts.empty()) return false;
  text = std::move(texts.front());
  texts.pop_front();
  return true;
}

// ---- the local player's units

bool cGamePlayMap::movePeople(cPlayer* p)
{
  if (units->isEmpty()) return false;
  std::vector<cBaseObject*> resort;
  bool moved = false;
  int position = 0;
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext()) {
    ++position;
    auto u = static_cast<cBaseUnit*>(n->myData());
    if (u->getPlayerID() == p->myID() && stepUnit(p, u, position, resort)) moved = true;
  }
  // Draw order follows the diagonal row x + y: a step along the row keeps its place.
  for (cBaseObject* u : resort) {
    units->removeElement(u);
    units->addElementPos(u);
  }
  return moved;
}

bool cGamePlayMap::stepUnit(cPlayer* p, cBaseUnit* u, int listPosition,
                            std::vector<cBaseObject*>& resort)
{
  const cPoint from = u->myPosition();
  const cRect left = u->toRectArea();
  // Its own cells must not block its step; the step itself is marked by the shared rule.
  getLayer(LAYER_UNITS)->fill(left, 0);
  const cPoint to = u->move(getLayer(LAYER_UNITS), getLayer(LAYER_OBJECTS));
  u->move(from);
  if (to == from || !applyStep(*this, *u, listPosition, to)) {
    getLayer(LAYER_UNITS)->fill(left, listPosition);
    if (u->recalcPath()) searchAgain(u);
    return false;
  }
  queue(p, cMoveMessage(p->getGameTurn(), from, to));
  if (to.x + to.y != from.x + from.y) resort.push_back(u);
  return true;
}

void cGamePlayMap::searchAgain(cBaseUnit* u)
{
  if (u->getUnitMode() == 2)
    u->initAttack(newPath(u->myPosition(), u->getTarget(), 1), u->getTargetObj());
  if (!u->moving()) u->initMove(newPath(u->myPosition(), u->getTarget(), 1), u->getTarget());
}

cMapLayer* cGamePlayMap::newPath(cPoint from, cPoint goal, int users)
{
  cMovement search(getLayer(LAYER_OBJECTS), &searchLayer, units.get());
  cMapLayer* path = search.findPath(from, goal);
  path->setUsage(users);
  return path;
}

bool cGamePlayMap::attackWithPeople(cPlayer* p)
{
  bool fired = false;
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext()) {
    auto u = static_cast<cBaseUnit*>(n->myData());
    if (u->getPlayerID() != p->myID()) continue;
    if (!u->attack(getLayer(LAYER_UNITS), getLayer(LAYER_OBJECTS))) continue;
    cDamage& effect = u->getDamageEffect();
    const cPoint target = u->getTarget();
    applyDamage(&effect, target.x, target.y);
    noteBlast(target, effect.getSize());
    queue(p, cDamageAreaMessage(p->getGameTurn(), target, effect.getSize(), effect.getLevel()));
    fired = true;
  }
  return fired;
}

bool cGamePlayMap::removeDeadUnits(cPlayer* p)
{
  if (units->isEmpty()) return false;
  bool any = false;
  for (cObjectList* list : {units.get(), buildings.get()}) {
    for (cObjectListNode* n = list->getFirstNode(); n;) {
      cBaseObject* o = n->myData();
      n = n->getNext();  // o's node goes with it
      if (o->getPlayerID() != -1) continue;
      trace(o->myObjectType() == 1 ? "D" : "d");
      announce(p, cRemoveMessage(p->getGameTurn(), o->toRectArea()));
      takeOff(o);
      any = true;
    }
  }
  return any;
}

// Off the map and out of its list, but alive for the units that still aim at it.
void cGamePlayMap::takeOff(cBaseObject* o)
{
  bool listed = o->myObjectType() == 1 ? removeUnit(static_cast<cBaseUnit*>(o)) : removeBuilding(o);
  if (listed) retire(o);
}

void cGamePlayMap::retire(cBaseObject* o)
{
  removeSelection(o);
  // A removed unit leaves its order: its share of the group's path goes back now.
  if (o->myObjectType() == 1) static_cast<cBaseUnit*>(o)->initMove(nullptr, o->myPosition());
  removed.addElement(o);
}

// ---- commands

std::vector<cBaseUnit*> cGamePlayMap::selectedUnits(const cPlayer* p) const
{
  std::vector<cBaseUnit*> group;
  for (cObjectListNode* n = selection.getFirstNode(); n; n = n->getNext()) {
    cBaseObject* o = n->myData();
    if (o->myObjectType() == 1 && o->getPlayerID() == p->myID())
      group.push_back(static_cast<cBaseUnit*>(o));
  }
  return group;
}

void cGamePlayMap::moveSelection(cPlayer* p, cPoint goal)
{
  if (!includes(goal)) return;
  const std::vector<cBaseUnit*> group = selectedUnits(p);
  if (group.empty()) return;
  cMapLayer* path = newPath(lastSelection()->myPosition(), goal, int(group.size()));
  for (cBaseUnit* u : group) u->initMove(path, goal);
}

void cGamePlayMap::attackWithSelection(cPlayer* p, cPoint target)
{
  if (!includes(target)) return;
  cBaseObject* victim = getSelection(target);
  const std::vector<cBaseUnit*> group = selectedUnits(p);
  if (!victim || group.empty()) return;
  cMovement search(getLayer(LAYER_OBJECTS), &searchLayer, units.get());
  cMapLayer* path = search.attackPath(lastSelection()->myPosition(), target, 5, false);
  path->setUsage(int(group.size()));
  for (cBaseUnit* u : group) u->initAttack(path, victim);
}

void cGamePlayMap::setTerrainUnderSelection(cPlayer* p, int kind)
{
  for (cObjectListNode* n = selection.getFirstNode(); n; n = n->getNext()) {
    const cRect footprint = n->myData()->toRectArea();
    fillTerrain(footprint, kind);
    announce(p, cMapSetMessage(p->getGameTurn(), footprint, kind));
  }
}

int cGamePlayMap::damageSelection(cPlayer* p, int amount)
{
  int walked = 0;
  for (cObjectListNode* n = selection.getFirstNode(); n; ++walked) {
    cBaseObject* o = n->myData();
    n = n->getNext();  // a destroyed object leaves the selection
    changeHealth(p, o, amount);
  }
  return walked;
}

void cGamePlayMap::changeHealth(cPlayer* p, cBaseObject* o, int amount)
{
  const int before = o->getHealth();
  if (amount < 0)
    o->incrHealth(amount == INT_MIN ? INT_MAX : -amount);
  else
    o->decrHealth(amount);
  // The change actually made travels, not the amount: a heal capped at full health here
  // must not lift the others' copy past it.
  const long long change = static_cast<long long>(before) - o->getHealth();
  if (change != 0)
    announce(p, cDamageHealMessage(p->getGameTurn(), o->myID(), o->myPosition(), clamp16(change)));
  if (o->getHealth() > 0) return;
  announce(p, cRemoveMessage(p->getGameTurn(), o->toRectArea()));
  takeOff(o);
}

void cGamePlayMap::damageObject(cPlayer* p, cBaseObject* o, int amount)
{
  if (o && holds(o)) changeHealth(p, o, amount);
}

bool cGamePlayMap::holds(const cBaseObject* o) const
{
  const cObjectList& list = o->myObjectType() == 1 ? *units : *buildings;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext())
    if (n->myData() == o) return true;
  return false;
}

void cGamePlayMap::paintTerrain(cPlayer* p, cPoint cell, int kind)
{
  if (!includes(cell)) return;
  placeTerrain(cell, kind);
  announce(p, cMapSetMessage(p->getGameTurn(), cRect(cell, cell + cPoint(1, 1)), kind));
}

bool cGamePlayMap::createUnit(cPlayer* p, cBaseUnit* u)
{
  if (!u || !addUnit(u)) return false;
  announce(p, cCreateUnitMessage(p->getGameTurn(), u));
  return true;
}

bool cGamePlayMap::createBuilding(cPlayer* p, cBaseObject* b)
{
  if (!b || !addBuilding(b)) return false;
  announce(p, cCreateObjectMessage(p->getGameTurn(), b));
  return true;
}
