// The fast passes of cMovement: the same layers as the sweeps of movement.cpp, cell for
// cell, at the cost of a breadth-first fill.
//
// A pass with the flag clear lets every fillable cell take the least of its neighbours'
// values + 1. Once such a pass reaches its third sweep it ends at the one fixed point:
// distances over the fillable cells from every valued cell at its value, which a
// breadth-first fill merged with the valued cells sorted by value gives in one go. The
// sweeps differ from that only where
//  - the second sweep writes nothing: the pass stops after the first sweep;
//  - valued cells lie more than a row apart in cell order: no sweep crosses the gap;
//  - the goal is the last cell with dir +1 (or cell 0 with dir -1): no sweep moves;
//  - a building cell holds a scratch 1: it keeps its first value, so order matters.
// The first is decided by a read-only second sweep; the other three run the sweeps.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "sim/movement.h"

namespace {
// Counting sort only while the value range is small; later passes can hold large values.
constexpr int countingRange = 1 << 16;
// The scans of whole layers skip blocks of this many cells that hold nothing of interest.
constexpr int scanBlock = 32;

// Work space of the fast passes, kept per thread so that after the first search of a
// map size a search allocates nothing but its layer.
struct FillBuffers {
  std::vector<int> seeds;   // valued cells that may pass their value on, in cell order
  int seedCount = 0;        // of seeds, which has room for every cell and one more
  std::vector<int> order;   // the same, by value
  std::vector<int> spare;   // between the two passes of the radix sort
  std::vector<int> counts;  // counting sort of the values
  std::vector<int> queueCell, queueColumn;
  std::vector<int> pulled;         // each cell's best value from itself and its neighbours
  std::vector<uint64_t> marks[2];  // cells a sparse sweep visits: going forward, going back
  std::vector<uint64_t> open;      // cells a pass through buildings may still change

  void fit(int cells)
  {
    if (int(queueCell.size()) >= cells) return;
    seeds.resize(size_t(cells) + 1);
    order.resize(size_t(cells));
    spare.resize(size_t(cells));
    counts.reserve(size_t(countingRange) + 1);
    queueCell.resize(size_t(cells));
    queueColumn.resize(size_t(cells));
    pulled.resize(size_t(cells));
    for (std::vector<uint64_t>& m : marks) m.resize(size_t(cells) / 64 + 1);
    open.resize(size_t(cells) / 64 + 1);
  }
};

thread_local FillBuffers buffers;
}  // namespace

bool cMovement::scratchHoldsBuildings(int fromIndex) const
{
  if (!scr) return false;
  for (int block = 0; block < count; block += scanBlock) {
    const int end = std::min(count, block + scanBlock);
    int ones = 0;
    for (int i = block; i < end; ++i) ones |= scr[i] == 1;
    if (!ones) continue;
    for (int i = block; i < end; ++i)
      if (scr[i] == 1 && obst[i] != 0 && i != fromIndex) return true;
  }
  return false;
}

// Answers false, having written nothing, where only the sweeps give the pass's layer.
bool cMovement::fastClearPass(int fromIndex, int goalIndex, int dir, bool& changed)
{
  if ((dir > 0 && goalIndex == count - 1) || (dir < 0 && goalIndex == 0)) return false;
  buffers.fit(count);
  SeedRange range = collectSeeds();
  if (!range.gapFree) return false;
  bool sweepOneRan = false;
  if (!sweepTwoWrites(fromIndex, goalIndex, dir, changed, sweepOneRan)) return true;
  if (sweepOneRan) range = collectSeeds();
  // Many valued cells, as after a pass through buildings: most are buildings, which only
  // pass their value on to free neighbours, so the free cells take it at once instead.
  const bool pull = buffers.seedCount > count / 8;
  if (pull) range = pullFromNeighbours(fromIndex);
  sortSeeds(range);
  spreadFromSeeds(fromIndex, pull);
  changed = true;
  return true;
}

// Whether the pass gets past its second sweep. First a probe of the second sweep on the
// far side of the goal, which the first sweep never touches: a cell there that would be
// written now is written then, since the first sweep only adds and lowers values. When
// that cannot tell, the first sweep runs and the whole second sweep is probed.
bool cMovement::sweepTwoWrites(int fromIndex, int goalIndex, int dir, bool& changed,
                               bool& sweepOneRan)
{
  const Pass pass{fromIndex, 0, 1, false};
  bool writes = false;
  const long nearby = 2L * width + 4;
  if (dir > 0)
    sweep<-1, false>(goalIndex, pass, writes, nearby);
  else
    sweep<1, false>(goalIndex, pass, writes, nearby);
  if (writes) return true;
  sweepOneRan = true;
  long stop = dir > 0 ? sweep<1>(goalIndex, pass, changed) : sweep<-1>(goalIndex, pass, changed);
  if (dir > 0)
    sweep<-1, false>(stop, pass, writes);
  else
    sweep<1, false>(stop, pass, writes);
  return writes;
}

// Lists the valued cells that can serve as a neighbour (not the first or last cell) and
// tells whether any two valued cells lie more than W + 1 apart in cell order.
cMovement::SeedRange cMovement::collectSeeds() const
{
  const int* p = path->cellData();
  // Without branches inside a block: on a dense map whether a cell has a value is a coin
  // toss. Every cell goes to the end of the list, and stays there only when it is a seed.
  int* list = buffers.seeds.data();
  int n = 0, low = 0x7fffffff, high = 0, last = -1;
  bool gap = false;
  for (int block = 0; block < count; block += scanBlock) {
    const int end = std::min(count, block + scanBlock);
    int any = 0;
    for (int i = block; i < end; ++i) any |= p[i];
    for (int i = block; any && i < end; ++i) {
      const int v = p[i];
      const bool valued = v > 0;
      gap |= valued & (last >= 0) & (i - last > width + 1);
      last = valued ? i : last;
      const bool seed = valued & (i != 0) & (i != count - 1);
      list[n] = i;
      n += seed;
      low = std::min(low, seed ? v : 0x7fffffff);
      high = std::max(high, seed ? v : 0);
    }
  }
  buffers.seedCount = n;
  return SeedRange{low, high, !gap};
}

namespace {
constexpr int noValue = 0x7ffffffe;  // above every value; noValue + 1 still fits

inline int orNone(int v) { return v > 0 ? v : noValue; }

// The best value a free cell can take from itself and its neighbours (noValue for none,
// and for a building cell). Cells whose eight neighbours all lie inside the map and are neither the
// first nor the last cell: rows 2 to H - 3, columns 1 to W - 2. Written without branches, so that
// the compiler can run several cells at once.
void pullRow(const int* p, const int* obst, int* out, int W, int y)
{
  const int* blocked = obst + long(y) * W;
  const int* up = p + long(y - 1) * W;
  const int* row = p + long(y) * W;
  const int* down = p + long(y + 1) * W;
  int* o = out + long(y) * W;
  for (int x = 1; x < W - 1; ++x) {
    const int a = std::min(std::min(orNone(up[x - 1]), orNone(up[x])),
                           std::min(orNone(up[x + 1]), orNone(row[x - 1])));
    const int b = std::min(std::min(orNone(row[x + 1]), orNone(down[x - 1])),
                           std::min(orNone(down[x]), orNone(down[x + 1])));
    const int free = -int(blocked[x] == 0);  // all ones or zero
    o[x] = (std::min(orNone(row[x]), std::min(a, b) + 1) & free) | (noValue & ~free);
  }
}
}  // namespace

// The same for any cell, with the tests the map's border needs.
int cMovement::pullOne(const int* p, int i, int x) const
{
  int best = orNone(p[i]);
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const long n = long(i) + long(dy) * width + dx;
      if ((dx == 0 && dy == 0) || x + dx < 0 || x + dx >= width || n <= 0 || n >= count - 1)
        continue;
      best = std::min(best, orNone(p[n]) + (p[n] > 0));
    }
  }
  return best;
}

// Gives every fillable cell the best of its own value and its valued neighbours' values
// + 1, and lists those that got a value as the seeds of the fill. Building cells never
// change in this pass, so they need not be seeds themselves: what they pass on, their
// neighbours have now taken.
cMovement::SeedRange cMovement::pullFromNeighbours(int fromIndex) const
{
  int* p = path->cellData();
  int* pulled = buffers.pulled.data();
  const int W = width, H = height;
  auto edge = [&](int i, int x) { pulled[i] = obst[i] == 0 ? pullOne(p, i, x) : noValue; };
  for (int y = 2; y < H - 2; ++y) {
    pullRow(p, obst, pulled, W, y);
    edge(y * W, 0);
    edge(y * W + W - 1, W - 1);
  }
  for (int y = 0; y < H; y = y == 1 && H > 4 ? H - 2 : y + 1)
    for (int x = 0; x < W; ++x) edge(y * W + x, x);
  if (fromIndex >= 0) pulled[fromIndex] = pullOne(p, fromIndex, fromIndex % W);
  // Without branches, as whether a cell is free is a coin toss on a dense map: every cell
  // goes to the end of the list, and stays there only when it is a seed.
  int* list = buffers.seeds.data();
  int n = 0;
  for (int i = 0; i < count; ++i) {
    const int v = pulled[i];
    const int takes = -int(v < noValue);  // all ones or zero
    p[i] = (v & takes) | (p[i] & ~takes);
    list[n] = i;
    n += int(v < noValue) & int(i != 0) & int(i != count - 1);
  }
  buffers.seedCount = n;
  // The range of all values taken, the first and last cell's too: a little wider at most.
  int low = noValue, high = 0;
  for (int i = 0; i < count; ++i) {
    low = std::min(low, pulled[i]);
    high = std::max(high, pulled[i] < noValue ? pulled[i] : 0);
  }
  return SeedRange{low, high, true};
}

namespace {
// One stable counting pass over cells by the digit (value - low) >> shift of their values;
// the digits run below buckets.
void countingPass(const int* p, const int* from, int* to, int n, int low, int shift, int buckets,
                  std::vector<int>& counts)
{
  const int digits = countingRange - 1;
  counts.assign(size_t(buckets) + 1, 0);
  for (int k = 0; k < n; ++k) ++counts[size_t(((p[from[k]] - low) >> shift) & digits) + 1];
  for (size_t d = 1; d < counts.size(); ++d) counts[d] += counts[d - 1];
  for (int k = 0; k < n; ++k)
    to[counts[size_t(((p[from[k]] - low) >> shift) & digits)]++] = from[k];
}
}  // namespace

// Small value ranges (the first pass) sort in one counting pass, large ones (after a pass
// through buildings) in two.
void cMovement::sortSeeds(const SeedRange& r) const
{
  const int* p = path->cellData();
  const int n = buffers.seedCount;
  int* order = buffers.order.data();
  if (n == 0) return;
  if (r.high - r.low < countingRange) {
    countingPass(p, buffers.seeds.data(), order, n, r.low, 0, r.high - r.low + 1, buffers.counts);
    return;
  }
  countingPass(p, buffers.seeds.data(), buffers.spare.data(), n, r.low, 0, countingRange,
               buffers.counts);
  countingPass(p, buffers.spare.data(), order, n, r.low, 16, ((r.high - r.low) >> 16) + 1,
               buffers.counts);
}

namespace {
// The queue of the breadth-first fill: cells with their columns, so that no cell needs a
// division to find its edges.
struct Spread {
  int* p;
  const int* obst;
  int* qc;
  int* qx;
  int W, N, fromIndex, tail;

  // Gives cell u's value + 1 to every fillable neighbour it improves. The first and last
  // cell take values but never pass them on.
  void visit(int c, int cx, int v)
  {
    const int pc = p[c];
    if ((pc != 0 && pc <= v) || (obst[c] != 0 && c != fromIndex)) return;
    p[c] = v;
    if (c == 0 || c == N - 1) return;
    qc[tail] = c;
    qx[tail++] = cx;
  }

  void from(int u, int x)
  {
    const int v = p[u] + 1;
    if (x > 0 && x < W - 1 && u >= W && u < N - W) {
      visit(u - W - 1, x - 1, v), visit(u - W, x, v), visit(u - W + 1, x + 1, v);
      visit(u - 1, x - 1, v), visit(u + 1, x + 1, v);
      visit(u + W - 1, x - 1, v), visit(u + W, x, v), visit(u + W + 1, x + 1, v);
      return;
    }
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const long c = long(u) + long(dy) * W + dx;
        if ((dx != 0 || dy != 0) && x + dx >= 0 && x + dx < W && c >= 0 && c < N)
          visit(int(c), x + dx, v);
      }
    }
  }
};
}  // namespace

// Breadth-first from the sorted valued cells, taking the lower of the queue's head and the
// next valued cell each time, so that cells leave in value order and each is written at
// most once: its distance from every valued cell.
void cMovement::spreadFromSeeds(int fromIndex, bool pulled) const
{
  Spread s{
      path->cellData(), obst, buffers.queueCell.data(), buffers.queueColumn.data(), width, count,
      fromIndex,        0};
  const int* p = s.p;
  const int* order = buffers.order.data();
  const int* pulledValue = buffers.pulled.data();
  const int seedCount = buffers.seedCount;
  int head = 0, next = 0;
  for (;;) {
    if (head < s.tail && (next == seedCount || p[s.qc[head]] <= p[order[next]])) {
      s.from(s.qc[head], s.qx[head]);
      ++head;
    } else if (next < seedCount) {
      // A seed that the fill has lowered since is in the queue already.
      const int u = order[next++];
      if (!pulled || p[u] == pulledValue[u]) s.from(u, u % width);
    } else {
      return;
    }
  }
}

namespace {
// The marked cell nearest to from in direction dir, up to the end of the cells; -1 if none.
long nextMark(const std::vector<uint64_t>& marks, long from, int dir, int cells)
{
  if (from < 0 || from >= cells) return -1;
  long k = from >> 6;
  if (dir > 0) {
    uint64_t w = marks[size_t(k)] & (~uint64_t(0) << (from & 63));
    while (w == 0) {
      if (++k >= long(marks.size())) return -1;
      w = marks[size_t(k)];
    }
    const long i = k * 64 + __builtin_ctzll(w);
    return i < cells ? i : -1;
  }
  uint64_t w = marks[size_t(k)] & (~uint64_t(0) >> (63 - (from & 63)));
  while (w == 0) {
    if (--k < 0) return -1;
    w = marks[size_t(k)];
  }
  return k * 64 + 63 - __builtin_clzll(w);
}
}  // namespace

// A pass through buildings. A building cell keeps the first value it gets, so the order of
// the sweeps matters and they stay; but a cell can only change when a neighbour changed
// after the last sweep of the same direction visited it, so the sweeps visit only the
// neighbours of cells that changed. Coverage is the sweeps' own as long as no two valued
// cells lie more than a row apart.
bool cMovement::sparseBuildingPass(int fromIndex, int goalIndex, int dir)
{
  const cPoint goal(goalIndex % width, goalIndex / width);
  if ((dir > 0 && goalIndex == count - 1) || (dir < 0 && goalIndex == 0))
    return wipeFill(fromIndex, goal, dir, 0, true, 20);
  buffers.fit(count);
  if (!collectSeeds().gapFree) return wipeFill(fromIndex, goal, dir, 0, true, 20);
  for (std::vector<uint64_t>& m : buffers.marks) std::fill(m.begin(), m.end(), 0);
  findOpenCells(fromIndex);
  for (int k = 0; k < buffers.seedCount; ++k) markAround(buffers.seeds[size_t(k)]);
  const Pass pass{fromIndex, 0, 21, true};
  // The first sweep starts at the goal.
  bool any = dir > 0 ? sparseSweep<1>(goalIndex, pass) : sparseSweep<-1>(goalIndex, pass);
  for (;;) {
    dir = -dir;
    // Later sweeps cover every cell but the one they start from: the first cell is never
    // visited going forward, the last never going back.
    const bool changed = dir > 0 ? sparseSweep<1>(0, pass) : sparseSweep<-1>(count - 1, pass);
    any |= changed;
    if (!changed) return any;
  }
}

template <int DIR>
bool cMovement::sparseSweep(long start, const Pass& pass) const
{
  int* p = path->cellData();
  std::vector<uint64_t>& marks = buffers.marks[DIR > 0 ? 0 : 1];
  const int W = width, lo = W + 2, hi = count - W - 2;
  bool changed = false;
  for (long i = nextMark(marks, start + DIR, DIR, count); i >= 0;
       i = nextMark(marks, i + DIR, DIR, count)) {
    marks[size_t(i >> 6)] &= ~(uint64_t(1) << (i & 63));
    const int x = int(i) % W;  // i < count: a 32-bit division, much the cheaper
    const bool takesMin = obst[i] == 0 || i == pass.fromIndex;
    const bool interior = i >= lo && i < hi && x > 0 && x < W - 1;
    const bool wrote = interior ? relaxInterior<DIR, true>(p, int(i), pass.cost, takesMin)
                                : relax<true>(p, int(i), edgeSet(x, DIR > 0 ? forward : backward),
                                              pass.cost, takesMin);
    if (!wrote) continue;
    changed = true;
    if (!takesMin)
      buffers.open[size_t(i >> 6)] &= ~(uint64_t(1) << (i & 63));  // it keeps this value
    if (i > 0 && i < count - 1) markAround(int(i));
  }
  return changed;
}

// The cells a pass through buildings may change: building cells without a value, the
// start cell and free scratch-1 cells. Judged a byte per cell, which the compiler runs
// several cells at once, then packed eight bytes at a time into bits.
void cMovement::findOpenCells(int fromIndex) const
{
  const int* p = path->cellData();
  uint64_t* open = buffers.open.data();
  uint8_t bytes[64];
  for (long word = 0; word * 64 < count; ++word) {
    const int begin = int(word * 64), end = int(std::min(long(count), word * 64 + 64));
    std::fill(bytes, bytes + 64, uint8_t(0));
    for (int i = begin; i < end; ++i) bytes[i - begin] = uint8_t((obst[i] != 0) & (p[i] == 0));
    if (scr)
      for (int i = begin; i < end; ++i) bytes[i - begin] |= uint8_t((obst[i] == 0) & (scr[i] == 1));
    uint64_t bits = 0;
    for (int k = 0; k < 8; ++k) {
      uint64_t eight;
      std::memcpy(&eight, bytes + 8 * k, 8);
      bits |= ((eight * 0x0102040810204080ULL) >> 56) << (8 * k);
    }
    open[word] = bits;
  }
  if (fromIndex >= 0) open[fromIndex >> 6] |= uint64_t(1) << (fromIndex & 63);
}

// Marks for both directions the open cells among cell n and its neighbours. Near a column
// edge this takes a cell or two of the next row as well, and the cell itself: a sweep that
// visits an open cell does what the full sweep does there, so extra marks cost only time.
void cMovement::markAround(int n) const
{
  const uint64_t* open = buffers.open.data();
  uint64_t* forwardMarks = buffers.marks[0].data();
  uint64_t* backwardMarks = buffers.marks[1].data();
  auto mark = [&](long word, uint64_t bits) {
    bits &= open[word];
    forwardMarks[word] |= bits;
    backwardMarks[word] |= bits;
  };
  for (long row : {long(n) - width, long(n), long(n) + width}) {
    const long lo = std::max(row - 1, 0L), hi = std::min(row + 1, long(count) - 1);
    if (lo > hi) continue;
    const long first = lo >> 6, last = hi >> 6;
    if (first == last) {
      mark(first, ((uint64_t(2) << (hi - lo)) - 1) << (lo & 63));
    } else {
      mark(first, ~uint64_t(0) << (lo & 63));
      mark(last, (uint64_t(2) << (hi & 63)) - 1);
    }
  }
}
