#include "net/changemessage.h"

#include "net/message.h"
#include "world/changerules.h"

bool isChangeMessage(const cMessage& m)
{
  switch (m.getType()) {
    case mtMove:
    case mtMapSet:
    case mtCreateUnit:
    case mtCreateObject:
    case mtDamageHeal:
    case mtDamageArea:
    case mtRemove: return true;
    default: return false;
  }
}

bool applyChangeMessage(cMap& map, const cMessage& m, std::unique_ptr<cBaseObject>& removed)
{
  switch (m.getType()) {
    case mtMove: {
      auto& move = static_cast<const cMoveMessage&>(m);
      return applyMove(map, move.from(), move.to());
    }
    case mtMapSet: {
      auto& set = static_cast<const cMapSetMessage&>(m);
      return applyPaint(map, set.getArea(), set.getNewType());
    }
    case mtCreateUnit:
      return applyCreateUnit(map, *static_cast<const cCreateUnitMessage&>(m).getUnit());
    case mtCreateObject:
      return applyCreateBuilding(map, *static_cast<const cCreateObjectMessage&>(m).getObject());
    case mtDamageHeal: {
      auto& hp = static_cast<const cDamageHealMessage&>(m);
      return applyHealthChange(map, hp.getPos(), hp.getObjectID(), hp.getChange());
    }
    case mtDamageArea: {
      auto& dam = static_cast<const cDamageAreaMessage&>(m);
      return applyBlast(map, dam.getCenter(), dam.getLevel(), dam.getSize());
    }
    case mtRemove:
      removed = applyRemove(map, static_cast<const cRemoveMessage&>(m).getArea());
      return removed != nullptr;
    default: return false;
  }
}
