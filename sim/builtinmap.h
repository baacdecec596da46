#ifndef KORVANE_SIM_BUILTINMAP_H
#define KORVANE_SIM_BUILTINMAP_H
// The built-in test map that local games (and the first player of a network game) play
// on; meant for a 100 x 100 map. Object sizes come from the catalogue (metaList).
#include "world/map.h"

// Terrain only: the cross of single lines and the striped test rows near the origin;
// clears the building layer.
void setBuiltinTerrain(cMap& map);
// Terrain plus six buildings and four units of owner. Objects the map refuses are freed.
void loadBuiltinMap(cMap& map, long owner);

#endif
