#ifndef KORVANE_WORLD_CUNIT_H
#define KORVANE_WORLD_CUNIT_H
// Buildings and units standing on the map, and the draw-ordered lists that hold them.
// Catalogue figures come from metaList; without a catalogue (the server) or for a kind
// outside its tables they read as 0 and "".
#include "world/damagemap.h"
#include "world/maplayer.h"
#include "world/pointutil.h"

class cBaseObject {
public:
  cBaseObject() = default;
  explicit cBaseObject(int kind) : kind(kind) {}
  cBaseObject(int kind, cPoint pos, cIsoPoint dim);  // health: the kind's full hit points
  cBaseObject(int kind, long player, cPoint pos, cIsoPoint dim);
  cBaseObject(int kind, cPoint pos, cIsoPoint dim, int health);
  cBaseObject(int kind, long player, cPoint pos, cIsoPoint dim, int health);
  virtual ~cBaseObject() = default;
  cBaseObject(const cBaseObject&) = delete;
  cBaseObject& operator=(const cBaseObject&) = delete;

  virtual int getFullHealth() const;
  virtual const char* getDescription() const;

  int myID() const { return kind; }
  cPoint myPosition() const { return position; }
  cIsoPoint myDim() const { return dimension; }
  int getHealth() const { return health; }
  long getPlayerID() const { return playerID; }
  int myObjectType() const { return objectType; }  // 0 building, 1 unit
  bool isSelected() const { return selected; }
  void select() { selected = true; }
  void unSelect() { selected = false; }
  void setHealth(int h) { health = h; }

  cRect toRectArea() const;  // the footprint in cells
  void decrHealth(int d);    // reaching 0 destroys: owner becomes -1
  void incrHealth(int d);    // capped at getFullHealth()
  // Takes kind, health, owner, position and dimension (not selection, not object type).
  void copy(const cBaseObject* other);

  bool isIsoFront(cIsoPoint p) const;
  bool isIsoBehind(cIsoPoint p) const;

protected:
  cPoint position;      // anchor cell: the footprint's top-left
  cIsoPoint dimension;  // footprint x, y in cells; z the height value
  int kind = 0;
  int health = 0;
  bool selected = false;
  long playerID = 0;  // owner; -1 marks a destroyed object
  int objectType = 0;
};

class cBaseUnit : public cBaseObject {
public:
  cBaseUnit();
  explicit cBaseUnit(int kind);                    // health: the unit kind's full hit points
  cBaseUnit(int kind, cPoint pos, cIsoPoint dim);  // health: half the full hit points
  cBaseUnit(int kind, long player, cPoint pos, cIsoPoint dim);
  cBaseUnit(int kind, cPoint pos, cIsoPoint dim, int health);
  cBaseUnit(int kind, long player, cPoint pos, cIsoPoint dim, int health);
  ~cBaseUnit() override;  // releases a path layer still held

  int getFullHealth() const override;
  const char* getDescription() const override;

  // Both take a share of a heap-allocated, usage-counted path layer (may be null) and
  // release the one held before.
  void initMove(cMapLayer* path, cPoint target);
  void initAttack(cMapLayer* path, cBaseObject* obj);

  bool moving() const { return unitMode == 1 || unitMode == 2; }
  int getUnitMode() const { return unitMode; }  // 0 idle, 1 moving, 2 to attack, 3 attacking
  bool recalcPath() const { return recalc; }
  int getWaitCount() const { return waitCount; }
  cPoint getTarget() const { return target; }
  void setTarget(cPoint t) { target = t; }
  cBaseObject* getTargetObj() const { return targetObj; }
  cMapLayer* getPathLayer() const { return pathLayer; }

  void setDamageEffect(int level, int size);
  cDamage& getDamageEffect() { return damageEffect; }

  void move(cPoint p) { position = p; }
  // One step down the path layer to the lowest free neighbour, ties going to the cell
  // nearest the straight line from where the order started to its target. A unit whose way
  // down is held only by other units may step aside to a cell of the same value that has a
  // free way down. Answers the (possibly new) position.
  cPoint move(cMapLayer* units, cMapLayer* objects);
  // Counts the fire rate down; true when the unit fires this turn.
  bool attack(cMapLayer* units, cMapLayer* objects);

private:
  void initUnit();
  void releasePath();
  struct Step;  // a neighbour cell ranked for the next step
  void endOrder();
  void beginOrder(cMapLayer* path);
  Step rank(cPoint cell, int value, int code) const;
  int rankedSteps(cPoint at, int low, int high, Step* out) const;
  bool stepAside(const cMapLayer* units, const cMapLayer* objects, int d);

  int fireCounter = 0;             // turns since the last shot
  cMapLayer* pathLayer = nullptr;  // shared, usage-counted
  int unitMode = 0;
  bool recalc = false;
  int waitCount = 0;  // turns spent blocked by other units
  cPoint target;
  cPoint orderStart;                 // where the unit stood when the order began
  cBaseObject* targetObj = nullptr;  // not owned
  cDamage damageEffect;              // the shot last fired
};

class cObjectListNode {
public:
  explicit cObjectListNode(cBaseObject* d) : data(d) {}
  cBaseObject* myData() const { return data; }
  cObjectListNode* getNext() const { return next; }
  cObjectListNode* getPrev() const { return prev; }
  void setNext(cObjectListNode* n) { next = n; }
  void setPrev(cObjectListNode* p) { prev = p; }

private:
  cBaseObject* data;  // owned by the list only when the list owns its data
  cObjectListNode* next = nullptr;
  cObjectListNode* prev = nullptr;
};

// Doubly linked list of objects. An owning list frees its objects when destroyed.
class cObjectList {
public:
  cObjectList() = default;
  explicit cObjectList(bool ownsData) : ownsData(ownsData) {}
  ~cObjectList();
  cObjectList(const cObjectList&) = delete;
  // Replaces the nodes (never the objects) by nodes for the other list's objects; the
  // ownership flag stays.
  cObjectList& operator=(const cObjectList& other);

  bool isEmpty() const { return first == nullptr; }
  int number() const;
  cObjectListNode* getFirstNode() const { return first; }
  cObjectListNode* getLastNode() const { return last; }

  void addElement(cBaseObject* o);     // appends
  void addElementPos(cBaseObject* o);  // inserts in draw order
  void insertElement(cObjectListNode* n, cObjectListNode* before);
  bool removeElement(cBaseObject* o);  // frees the node, not the object
  void removeElement(cObjectListNode* n);

private:
  void unlink(cObjectListNode* n);
  void clearNodes();

  cObjectListNode* first = nullptr;
  cObjectListNode* last = nullptr;
  bool ownsData = false;
};

#endif
