#ifndef KORVANE_WORLD_CHANGERULES_H
#define KORVANE_WORLD_CHANGERULES_H
// How a change that a player reports is applied to a map. The server's map and every
// player's map apply received changes through these rules alone, so that a player who joins
// downloads what the players in the game hold. Every figure may come from a hostile frame and
// is bounded by the map before any loop uses it. Positions and areas are in cells; each rule
// answers whether the map changed.
#include <memory>

#include "world/map.h"

// The highest terrain kind a map download carries unchanged: one signed byte per cell.
constexpr int maxTerrainKind = 127;

// The first unit in list order anchored at from steps to `to`; its whole footprint there must
// lie on the map. The cells it left stay marked where another unit still stands.
bool applyMove(cMap& map, cPoint from, cPoint to);
// Unit u, listed at 1-based listPosition on the map's unit list, steps to `to` (its list
// place is left to the caller); refused unless its whole footprint there lies on the map.
// Every cell of its footprint moves on the unit layer; cells it left stay marked where
// another unit still stands.
bool applyStep(cMap& map, cBaseUnit& u, int listPosition, cPoint to);
// Paints the part of area that lies on the map; kinds outside 0..maxTerrainKind are refused.
bool applyPaint(cMap& map, cRect area, int kind);
// A copy of model joins the map when its footprint covers at least one cell, lies wholly on
// the map and is free on both occupancy layers.
bool applyCreateUnit(cMap& map, const cBaseUnit& model);
bool applyCreateBuilding(cMap& map, const cBaseObject& model);
// The object anchored at pos (a building before a unit) loses change hit points when it is
// of that kind; a negative change heals without the full-health cap.
bool applyHealthChange(cMap& map, cPoint pos, int kind, int change);
// A blast of the given level and radius centred on a cell of the map; off the map nothing.
bool applyBlast(cMap& map, cPoint centre, int level, int size);
// Takes the first building, else the first unit, whose footprint is exactly area off the map
// and out of its list, and hands it to the caller; null when none matches. Cells another unit
// shares stay marked.
std::unique_ptr<cBaseObject> applyRemove(cMap& map, cRect area);

#endif
