// The building and unit kinds of the game data file: their figures and how they look.
// Index 0 of each table is the placeholder kind.
#pragma once
#include <vector>

#include "scene.h"

struct Kind {
  const char* desc;                      // DESC: the name shown to the player
  int xsiz, ysiz, zsiz;                  // footprint in cells and height in tile heights
  int dam, dsiz, mxhp, def, rang, frat;  // damage, blast radius, hit points, defence,
                                         // range in cells, turns between shots
  int blck;                              // BLCK: 0 = the kind blocks its cells
  void (*build)(Scene&);                 // adds the kind's shapes over its footprint
};

const std::vector<Kind>& buildingKinds();
const std::vector<Kind>& unitKinds();
