#include "sim/playermap.h"

namespace {
// The node at the 1-based list position v (v <= 1 gives the first); null past the end.
cBaseObject* atListPosition(const cObjectList& list, int v)
{
  cObjectListNode* n = list.getFirstNode();
  for (int position = 1; n && position < v; ++position) n = n->getNext();
  return n ? n->myData() : nullptr;
}
}  // namespace

cPlayerMap::cPlayerMap(cPoint size) : cMap(size), searchLayer(size) {}

cBaseObject* cPlayerMap::getSelection(cPoint p) const
{
  if (!includes(p)) return nullptr;
  int v = getObject(p);
  if (v != 0) return atListPosition(*buildings, v);
  v = getUnit(p);
  if (v != 0) return atListPosition(*units, v);
  return nullptr;
}

cBaseObject* cPlayerMap::addSelection(cPoint p)
{
  cBaseObject* o = getSelection(p);
  if (!o) return nullptr;
  if (o->isSelected()) {
    removeSelection(o);
    return nullptr;
  }
  addSelection(o);
  return o;
}

void cPlayerMap::addSelection(cBaseObject* o)
{
  if (!o || o->isSelected()) return;
  o->select();
  selection.addElement(o);
}

void cPlayerMap::removeSelection(cBaseObject* o)
{
  if (!o || !o->isSelected()) return;
  o->unSelect();
  selection.removeElement(o);
}

void cPlayerMap::clearSelection()
{
  for (cObjectListNode* n = selection.getFirstNode(); n; n = n->getNext()) n->myData()->unSelect();
  selection = cObjectList();
}

cBaseObject* cPlayerMap::lastSelection() const
{
  cObjectListNode* n = selection.getLastNode();
  return n ? n->myData() : nullptr;
}
