#ifndef KORVANE_NET_CHANGEMESSAGE_H
#define KORVANE_NET_CHANGEMESSAGE_H
// Received change messages applied to a map through the world's change rules: the one path
// by which both the server and the players' games take in a change.
#include <memory>

class cBaseObject;
class cMap;
class cMessage;

// Moves, paints, creations, health changes, blasts and removals; every other kind is no change.
bool isChangeMessage(const cMessage& m);
// Answers whether the map changed. An object a removal takes off the map is handed over in
// removed (left empty otherwise).
bool applyChangeMessage(cMap& map, const cMessage& m, std::unique_ptr<cBaseObject>& removed);

#endif
