#ifndef KORVANE_SIM_MOVEMENT_H
#define KORVANE_SIM_MOVEMENT_H
// Distance layers for one order: every reached cell holds a positive number that falls
// toward the goal (goal cells 1, unreached 0). Filled by alternating linear sweeps over
// the row-major cells; building cells are passable at a higher cost, so a search always
// ends with a layer. The fast method computes the same layers cell for cell with a
// breadth-first fill and sparse sweeps (sim/fastpass.cpp); the sweeps stay the reference.
#include <initializer_list>

#include "world/cunit.h"
#include "world/maplayer.h"

// FILL_SWEEPS runs every pass as the plain sweeps; FILL_FAST (the default) gives the same
// layers and pass counts, falling back to the sweeps where only they give the answer.
enum eFillMethod { FILL_FAST, FILL_SWEEPS };

class cMovement {
public:
  // All three are borrowed and must outlive the search. obstacles: the map's building
  // layer (non-zero blocks); scratch: a layer of the same size whose cells holding 1 are
  // always passable (may be null); units: the map's unit list (may be null).
  cMovement(cMapLayer* obstacles, cMapLayer* scratch, cObjectList* units);
  cMovement(const cMovement&) = delete;
  cMovement& operator=(const cMovement&) = delete;

  // Both return a new heap layer of the obstacle layer's size; the caller owns it (share
  // it through setUsage / decrementUsage). A goal off the map gives a layer of zeros; a
  // start off the map has no start cell.
  cMapLayer* findPath(cPoint from, cPoint goal);
  // Toward every cell from which goal lies within range (cells, Euclidean).
  cMapLayer* attackPath(cPoint from, cPoint goal, char range, bool lineOfSight);
  bool attackRange(cPoint cell, cPoint goal, char range, bool lineOfSight) const;

  // The steps of a search, on the layer being built. Indices are y * width + x; fromIndex
  // -1 means no start cell; free is the obstacle value of a free cell.
  void radialFill(int fromIndex, cPoint goal, int free, bool flag, int penalty = 4);
  // One pass of sweeps until a sweep changes nothing; true when it wrote any cell.
  bool wipeFill(int fromIndex, cPoint goal, int dir, int free, bool flag, int penalty = 20);
  void coverUnits();
  void calPoint(int i);
  int offset(int d) const;  // index step of direction code d (0 for codes outside 1..8)

  void setFillMethod(eFillMethod m) { method = m; }
  int passCount() const { return passes; }  // fill passes of the last search

private:
  // The neighbour steps a cell may use, in direction-code order.
  struct DirSet {
    int n = 0;
    int off[8] = {};
  };
  DirSet makeSet(std::initializer_list<int> codes) const;
  const DirSet& edgeSet(int x, const DirSet& inner) const;
  struct Pass {
    int fromIndex, free, cost;
    bool flag;
  };
  bool fillable(long i, int fromIndex, int free, bool flag) const;
  // WRITE false probes: nothing is written, and the sweep stops at the first cell it
  // would write (changed set) or after limit cells.
  template <int DIR, bool WRITE>
  bool relaxInterior(int* p, int i, int cost, bool takesMin) const;
  template <int DIR, bool WRITE = true>
  long sweep(long i, const Pass& pass, bool& changed, long limit = 0x7fffffff) const;
  template <bool WRITE>
  bool relax(int* p, int i, const DirSet& s, int cost, bool takesMin) const;
  int startIndex(cPoint from) const;
  cMapLayer* newPath(cPoint goal);
  void searchLoop(int fromIndex, cPoint goal, bool flag);
  bool runPass(int fromIndex, cPoint goal, int dir, bool flag);

  // The fast passes (sim/fastpass.cpp).
  bool scratchHoldsBuildings(int fromIndex) const;
  struct SeedRange {
    int low, high;  // of the values
    bool gapFree;   // no two valued cells more than width + 1 apart in cell order
  };
  bool fastClearPass(int fromIndex, int goalIndex, int dir, bool& changed);
  bool sweepTwoWrites(int fromIndex, int goalIndex, int dir, bool& changed, bool& sweepOneRan);
  SeedRange collectSeeds() const;
  int pullOne(const int* p, int i, int x) const;
  SeedRange pullFromNeighbours(int fromIndex) const;
  void sortSeeds(const SeedRange& r) const;
  // pulled: the seeds came from pullFromNeighbours.
  void spreadFromSeeds(int fromIndex, bool pulled) const;
  bool sparseBuildingPass(int fromIndex, int goalIndex, int dir);
  template <int DIR>
  bool sparseSweep(long start, const Pass& pass) const;
  void findOpenCells(int fromIndex) const;
  void markAround(int n) const;

  cMapLayer* obstacles;
  cMapLayer* scratch;
  cMapLayer* path = nullptr;  // handed to the caller
  cObjectList* units;
  int width, height, count;  // of the obstacle layer
  const int* obst;           // obstacle cells
  const int* scr;            // scratch cells, or null
  DirSet forward, backward, firstColumn, lastColumn, narrow, all;
  eFillMethod method = FILL_FAST;
  int passes = 0;
  bool sweepsOnlyWhenClear = false;  // this search: a building cell holds a scratch 1
};

#endif
