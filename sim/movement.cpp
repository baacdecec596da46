#include "sim/movement.h"

#include <algorithm>

cMovement::cMovement(cMapLayer* obstacleLayer, cMapLayer* scratchLayer, cObjectList* unitList)
    : obstacles(obstacleLayer), scratch(scratchLayer), units(unitList)
{
  width = obstacles->myMaxPos().x;
  height = obstacles->myMaxPos().y;
  count = obstacles->cellCount();
  obst = obstacles->cellData();
  bool sameSize = scratch && scratch->isValid() && scratch->myMaxPos() == obstacles->myMaxPos();
  scr = sameSize ? scratch->cellData() : nullptr;
  forward = makeSet({1, 2, 3, 4});
  backward = makeSet({5, 6, 7, 8});
  firstColumn = makeSet({3, 4, 5, 6, 7});
  lastColumn = makeSet({1, 2, 3, 7, 8});
  narrow = makeSet({3, 7});  // a one-column map: both edges at once
  all = makeSet({1, 2, 3, 4, 5, 6, 7, 8});
}

int cMovement::offset(int d) const
{
  const int W = width;
  switch (d) {
    case 1: return -1;
    case 2: return -W - 1;
    case 3: return -W;
    case 4: return 1 - W;
    case 5: return 1;
    case 6: return W + 1;
    case 7: return W;
    case 8: return W - 1;
    default: return 0;
  }
}

cMovement::DirSet cMovement::makeSet(std::initializer_list<int> codes) const
{
  DirSet s;
  for (int code : codes) s.off[s.n++] = offset(code);
  return s;
}

const cMovement::DirSet& cMovement::edgeSet(int x, const DirSet& inner) const
{
  // Column edges restrict the directions, so a step never wraps into the next row.
  if (width == 1) return narrow;
  if (x == 0) return firstColumn;
  if (x == width - 1) return lastColumn;
  return inner;
}

bool cMovement::fillable(long i, int fromIndex, int free, bool flag) const
{
  // Off the cell range the obstacle layer reads 255: blocked.
  bool blocked = i < 0 || i >= count || obst[i] != free;
  return blocked == flag || i == fromIndex || (i >= 0 && i < count && scr && scr[i] == 1);
}

// Takes the best candidate from the neighbours with a value; a building cell (takesMin
// false) keeps the first one it gets. Answers whether the cell was (or would be) written.
template <bool WRITE>
bool cMovement::relax(int* p, int i, const DirSet& s, int cost, bool takesMin) const
{
  const int last = count - 1;
  int cur = p[i];
  bool wrote = false;
  for (int k = 0; k < s.n; ++k) {
    int nb = i + s.off[k];
    if (nb <= 0 || nb >= last) continue;
    int v = p[nb];
    if (v <= 0) continue;
    int cand = v + cost;
    if (cur == 0 || (takesMin && cand < cur)) {
      cur = cand;
      wrote = true;
    }
  }
  if (WRITE) p[i] = cur;
  return wrote;
}

int cMovement::startIndex(cPoint from) const
{
  bool onMap = from.x >= 0 && from.x < width && from.y >= 0 && from.y < height;
  return onMap ? from.y * width + from.x : -1;
}

cMapLayer* cMovement::newPath(cPoint goal)
{
  passes = 0;
  path = new cMapLayer(obstacles->myMaxPos());
  int gi = startIndex(goal);
  if (gi >= 0 && path->isValid()) path->cellData()[gi] = 1;
  return path;
}

void cMovement::radialFill(int fromIndex, cPoint goal, int free, bool flag, int penalty)
{
  int* p = path->cellData();
  const int gi = goal.y * width + goal.x;
  const int base = p[gi] - 1, mult = (flag ? penalty : 0) + 1;
  for (int d = 1; d <= 8; ++d) {
    int limit = (d == 1 || d == 2 || d == 8) ? goal.x + 1
                : (d >= 4 && d <= 6)         ? width - goal.x
                                             : height;
    const int step = offset(d);
    // A ray that leaves the rows never comes back: its further writes would all be ignored.
    int n = 2;
    for (long i = long(gi) + step;
         n <= limit && i >= 0 && i < count && fillable(i, fromIndex, free, flag); ++n, i += step)
      p[i] = mult * n + base;
  }
}

// The cell of an interior column whose neighbours in the sweep direction all lie inside
// the usable index range: fixed offsets, no bounds tests. Same result as relax().
template <int DIR, bool WRITE>
bool cMovement::relaxInterior(int* p, int i, int cost, bool takesMin) const
{
  const int W = width;
  const int v1 = p[i - DIR], v2 = p[i - DIR * (W + 1)], v3 = p[i - DIR * W],
            v4 = p[i - DIR * (W - 1)];
  const int cur = p[i];
  if (takesMin) {
    const int big = 0x7fffffff - cost;
    int m = std::min(std::min(v1 > 0 ? v1 : big, v2 > 0 ? v2 : big),
                     std::min(v3 > 0 ? v3 : big, v4 > 0 ? v4 : big));
    if (m == big || (cur != 0 && m + cost >= cur)) return false;
    if (WRITE) p[i] = m + cost;
    return true;
  }
  if (cur != 0) return false;
  int first = v1 > 0 ? v1 : v2 > 0 ? v2 : v3 > 0 ? v3 : v4;
  if (first <= 0) return false;
  if (WRITE) p[i] = first + cost;
  return true;
}

// One sweep from just past i in direction DIR; answers the index where it stopped.
template <int DIR, bool WRITE>
long cMovement::sweep(long i, const Pass& pass, bool& changed, long limit) const
{
  int* p = path->cellData();
  const int W = width, N = count, lo = W + 2, hi = N - W - 2;
  int x = int(((i % W) + W) % W), run = 0;
  for (long n = 0; n < limit; ++n) {
    i += DIR;
    x += DIR;  // the column of i, kept alongside to avoid a division per cell
    if (x == W)
      x = 0;
    else if (x < 0)
      x = W - 1;
    ++run;
    if (i < 0 || i >= N) return i;
    const int o = obst[i];
    if ((o != pass.free) == pass.flag || i == pass.fromIndex || (scr && scr[i] == 1)) {
      const bool takesMin = o == pass.free || i == pass.fromIndex;
      const bool interior = i >= lo && i < hi && x > 0 && x < W - 1;
      const bool wrote = interior
                             ? relaxInterior<DIR, WRITE>(p, int(i), pass.cost, takesMin)
                             : relax<WRITE>(p, int(i), edgeSet(x, DIR > 0 ? forward : backward),
                                            pass.cost, takesMin);
      changed |= wrote;
      if (!WRITE && wrote) return i;
    }
    if (p[i] > 0) run = 0;
    if (run > W || i <= 0 || i >= N - 1) return i;
  }
  return i;
}

// The fast passes (fastpass.cpp) run and probe the same sweeps.
template long cMovement::sweep<1, true>(long, const Pass&, bool&, long) const;
template long cMovement::sweep<-1, true>(long, const Pass&, bool&, long) const;
template long cMovement::sweep<1, false>(long, const Pass&, bool&, long) const;
template long cMovement::sweep<-1, false>(long, const Pass&, bool&, long) const;
template bool cMovement::relax<true>(int*, int, const DirSet&, int, bool) const;
template bool cMovement::relaxInterior<1, true>(int*, int, int, bool) const;
template bool cMovement::relaxInterior<-1, true>(int*, int, int, bool) const;

bool cMovement::wipeFill(int fromIndex, cPoint goal, int dir, int free, bool flag, int penalty)
{
  const Pass pass{fromIndex, free, (flag ? penalty : 0) + 1, flag};
  long i = long(goal.y) * width + goal.x;
  bool any = false;
  // The first sweep always has a successor, even when it changed nothing.
  for (bool first = true;; first = false) {
    bool changed = false;
    // Each sweep runs back from where the previous one stopped.
    i = dir > 0 ? sweep<1>(i, pass, changed) : sweep<-1>(i, pass, changed);
    dir = -dir;
    any |= changed;
    if (!changed && !first) return any;
  }
}

void cMovement::searchLoop(int fromIndex, cPoint goal, bool flag)
{
  const int* p = path->cellData();
  const int gi = goal.y * width + goal.x;
  const int dir = fromIndex >= gi ? 1 : -1;
  sweepsOnlyWhenClear = method == FILL_SWEEPS || scratchHoldsBuildings(fromIndex);
  bool lastChanged = true;
  for (;;) {
    bool reached = fromIndex < 0 || p[fromIndex] != 0;
    if (reached && flag) return;
    bool changed = runPass(fromIndex, goal, dir, flag);
    // Two passes in a row (one of each kind) without a write: no later pass can write
    // either, and a start that is still unreached stays so.
    if (!changed && !lastChanged) return;
    lastChanged = changed;
    flag = !flag;
  }
}

bool cMovement::runPass(int fromIndex, cPoint goal, int dir, bool flag)
{
  ++passes;
  const int gi = goal.y * width + goal.x;
  bool changed = false;
  if (method == FILL_FAST && !flag && !sweepsOnlyWhenClear &&
      fastClearPass(fromIndex, gi, dir, changed))
    return changed;
  if (method == FILL_FAST && flag) return sparseBuildingPass(fromIndex, gi, dir);
  return wipeFill(fromIndex, goal, dir, 0, flag, 20);
}

cMapLayer* cMovement::findPath(cPoint from, cPoint goal)
{
  newPath(goal);
  const int gi = startIndex(goal);
  if (gi < 0 || !path->isValid()) return path;
  const int fromIndex = startIndex(from);
  const bool flag = obst[gi] != 0;  // a blocked goal starts with a pass through buildings
  radialFill(fromIndex, goal, 0, flag, 4);
  searchLoop(fromIndex, goal, flag);
  coverUnits();
  return path;
}

cMapLayer* cMovement::attackPath(cPoint from, cPoint goal, char range, bool lineOfSight)
{
  newPath(goal);
  const int gi = startIndex(goal);
  if (gi < 0 || !path->isValid()) return path;
  const int fromIndex = startIndex(from);
  int* p = path->cellData();
  // Cells of the square off the map read as blocked and could never be written.
  for (int x = std::max(goal.x - range, 0); x <= std::min(goal.x + range, width - 1); ++x) {
    for (int y = std::max(goal.y - range, 0); y <= std::min(goal.y + range, height - 1); ++y) {
      int c = y * width + x;
      if (obst[c] == 0 || (scr && scr[c] == 1) || c == fromIndex)
        p[c] = attackRange(cPoint(x, y), goal, range, lineOfSight) ? 1 : 0;
    }
  }
  searchLoop(fromIndex, goal, false);
  coverUnits();
  return path;
}

bool cMovement::attackRange(cPoint cell, cPoint goal, char range, bool lineOfSight) const
{
  const long long dx = static_cast<long long>(cell.x) - goal.x;
  const long long dy = static_cast<long long>(cell.y) - goal.y;
  if (static_cast<long long>(range) * range < dx * dx + dy * dy) return false;
  if (!lineOfSight || (dx == 0 && dy == 0)) return true;
  // Walk from the goal along the longer axis; the other coordinate truncates toward zero.
  const bool alongY = (dx < 0 ? -dx : dx) < (dy < 0 ? -dy : dy);
  const long long last = alongY ? dy : dx, unit = last < 1 ? -1 : 1;
  for (long long t = unit;; t += unit) {
    cPoint c = alongY ? cPoint(int(goal.x + t * dx / dy), int(goal.y + t))
                      : cPoint(int(goal.x + t), int(goal.y + t * dy / dx));
    bool clear = obstacles->get(c) == 0 || (scratch && scratch->get(c) == 1);
    if (!clear && c != cell) return false;
    if (t == last) return true;
  }
}

void cMovement::coverUnits()
{
  if (!units) return;
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext()) {
    cBaseObject* o = n->myData();
    if (o->myObjectType() != 1 || !static_cast<cBaseUnit*>(o)->moving()) continue;
    int i = startIndex(o->myPosition());
    if (i >= 0) calPoint(i);
  }
}

void cMovement::calPoint(int i)
{
  int* p = path->cellData();
  const DirSet& s = edgeSet(i % width, all);
  const int last = count - 1;
  for (int k = 0; k < s.n; ++k) {
    int nb = i + s.off[k];
    if (nb <= 0 || nb >= last) continue;
    if (p[nb] > 0 && (p[i] == 0 || p[nb] + 1 < p[i])) p[i] = p[nb] + 1;
  }
  if (p[i] <= 0) return;
  for (int k = 0; k < s.n; ++k) {
    int nb = i + s.off[k];
    if (nb <= 0 || nb >= last) continue;
    if (p[nb] == 0 || p[i] + 1 < p[nb]) p[nb] = p[i] + 1;
  }
}
