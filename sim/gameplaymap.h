#ifndef KORVANE_SIM_GAMEPLAYMAP_H
#define KORVANE_SIM_GAMEPLAYMAP_H
// The client's live game: once per turn it applies one change received from the server,
// steps, fires and clears away the local player's units; the player's own commands are
// applied at once and, when connected, announced to the server. Single-threaded.
#include <deque>
#include <string>
#include <vector>

#include "net/player.h"
#include "sim/playermap.h"

class cMessage;

class cGamePlayMap : public cPlayerMap {
public:
  explicit cGamePlayMap(cPoint size);
  ~cGamePlayMap() override = default;

  // Every p below is the local player (never null); only its units are simulated here.
  // True when anything changed: a received change applied, a unit moved or fired, an
  // object removed.
  bool processTurn(cPlayer* p);
  // The same turn, but taking in every received frame already waiting, at most cap of them,
  // so that a steady stream of changes never builds a backlog.
  bool processTurnDraining(cPlayer* p, int cap = 256);
  // Only the received frames already waiting, at most cap of them: for a loop woken by one
  // between two turns. True when the map changed.
  bool receiveWaiting(cPlayer* p, int cap = 256);
  bool movePeople(cPlayer* p);
  bool attackWithPeople(cPlayer* p);
  bool removeDeadUnits(cPlayer* p);

  // goal and target in cells; off the map they do nothing.
  void moveSelection(cPlayer* p, cPoint goal);
  void attackWithSelection(cPlayer* p, cPoint target);
  void setTerrainUnderSelection(cPlayer* p, int kind);
  // A negative amount heals. Answers how many objects were selected.
  int damageSelection(cPlayer* p, int amount);
  // The same for one object on this map (others are left alone): one health change
  // announced, and its removal when it died.
  void damageObject(cPlayer* p, cBaseObject* o, int amount);
  // One cell painted, announced as one terrain change of that cell; off the map nothing.
  void paintTerrain(cPlayer* p, cPoint cell, int kind);
  // On true the map owns the object; on false the caller keeps it.
  bool createUnit(cPlayer* p, cBaseUnit* u);
  bool createBuilding(cPlayer* p, cBaseObject* b);

  // The oldest text received from the server and not yet taken; false when there is none.
  // Texts are never applied to the map.
  bool takeText(std::string& text);
  // A text to be taken as if the server had just sent it (one that came with the download).
  void keepText(std::string text);
  static constexpr size_t maxWaitingTexts = 64;  // older ones are dropped past this many

  // A blast applied to this map: its centre cell and radius in cells.
  struct cBlastMark {
    cPoint centre;
    int size;
  };
  // The blasts applied since the last call, fired here or received, oldest first; at most
  // maxWaitingBlasts of the newest are kept.
  std::vector<cBlastMark> takeBlasts();
  static constexpr size_t maxWaitingBlasts = 256;

  // Objects taken off the map in play, kept alive (and owned) until the map goes, so that
  // units still aiming at them read their owner.
  const cObjectList& getRemoved() const { return removed; }

private:
  // False when no frame was waiting (or the connection is gone); changed is set when the
  // frame changed the map.
  bool receiveOne(cPlayer* p, bool& changed);
  bool playLocalUnits(cPlayer* p);  // moves, shots and removals of the turn, then the flush
  bool applyMessage(const cMessage* m);

  bool stepUnit(cPlayer* p, cBaseUnit* u, int listPosition, std::vector<cBaseObject*>& resort);
  void searchAgain(cBaseUnit* u);
  cMapLayer* newPath(cPoint from, cPoint goal, int users);
  std::vector<cBaseUnit*> selectedUnits(const cPlayer* p) const;
  void changeHealth(cPlayer* p, cBaseObject* o, int amount);
  bool holds(const cBaseObject* o) const;
  void takeOff(cBaseObject* o);
  void retire(cBaseObject* o);

  static void queue(cPlayer* p, const cMessage& m);
  static void announce(cPlayer* p, const cMessage& m);

  void noteBlast(cPoint centre, int size);

  cObjectList removed{true};
  std::deque<std::string> texts;   // received, not yet taken
  std::vector<cBlastMark> blasts;  // applied, not yet taken
  // Every frame fits whole, with a zero after the longest body.
  static constexpr int maxFrameBody = 65535;
  std::vector<char> receiveBuffer = std::vector<char>(maxFrameBody + 1);
};

#endif
