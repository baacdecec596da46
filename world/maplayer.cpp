#include "world/maplayer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "world/host.h"

cMapLayer::cMapLayer(cPoint newSize)
{
  allocate(newSize);
  clearArray();
}

cMapLayer::~cMapLayer() { release(); }

cMapLayer::cMapLayer(const cMapLayer& other) { copy(&other); }

cMapLayer& cMapLayer::operator=(const cMapLayer& other)
{
  copy(&other);
  return *this;
}

cMapLayer& cMapLayer::operator=(const cMapLayer* other)
{
  copy(other);
  return *this;
}

void cMapLayer::allocate(cPoint newSize)
{
  long long n = static_cast<long long>(newSize.x) * newSize.y;
  if (newSize.x <= 0 || newSize.y <= 0 || n > INT_MAX) return;
  // Sizes may come from the network: a failed allocation leaves an invalid layer.
  cells = new (std::nothrow) int[static_cast<size_t>(n)];
  if (!cells) return;
  size = newSize;
  count = static_cast<int>(n);
  valid = true;
}

void cMapLayer::release()
{
  delete[] cells;
  cells = nullptr;
  size = cPoint();
  count = 0;
  valid = false;
}

void cMapLayer::copy(const cMapLayer* other)
{
  if (!other || other == this) return;
  release();
  allocate(other->size);
  if (valid && other->valid)
    std::memcpy(cells, other->cells, sizeof(int) * count);
  else if (valid)
    clearArray();
}

void cMapLayer::clearArray()
{
  if (!valid) return;
  if (hostDebugLog()) hostLog("clearing Map...\n");
  std::fill(cells, cells + count, 0);
  if (hostDebugLog()) hostLog("end clear Map..., test it\n");
}

void cMapLayer::place(cPoint p, int v)
{
  if (valid && p.x >= 0 && p.x < size.x && p.y >= 0 && p.y < size.y) cells[p.y * size.x + p.x] = v;
}

void cMapLayer::place(long i, int v)
{
  if (valid && i >= 0 && i < count) cells[i] = v;
}

int cMapLayer::get(cPoint p) const
{
  if (valid && p.x >= 0 && p.x < size.x && p.y >= 0 && p.y < size.y)
    return cells[p.y * size.x + p.x];
  return 255;
}

int cMapLayer::get(long i) const
{
  if (valid && i >= 0 && i < count) return cells[i];
  return 255;
}

void cMapLayer::fill(cPoint a, cPoint b, int v) { fill(cRect(a, b), v); }

void cMapLayer::fill(cRect r, int v)
{
  if (hostDebugLog()) {
    hostLog("filling area on map (%i,%i)-(%i,%i) with %i...\n", r.left(), r.top(), r.right(),
            r.bottom(), v);
    hostReopenLog();  // the two lines around a fill reach the disk at once
  }
  // Only the part on the layer is visited, so a huge rectangle costs no more than the layer.
  int left = std::max(r.left(), 0), right = std::min(r.right(), size.x);
  int top = std::max(r.top(), 0), bottom = std::min(r.bottom(), size.y);
  if (valid) {
    for (int x = left; x < right; ++x)
      for (int y = top; y < bottom; ++y) cells[y * size.x + x] = v;
  }
  if (hostDebugLog()) {
    hostLog("finished filling area.\n");
    hostReopenLog();  // the two lines around a fill reach the disk at once
  }
}

bool cMapLayer::isAvail(cPoint pos, cPoint extent) const
{
  if (!valid || pos.x < 0 || pos.x >= size.x || pos.y < 0 || pos.y >= size.y) return false;
  if (extent.x <= 0 || extent.y <= 0) return true;
  // Compared without forming pos + extent, which may overflow for hostile extents.
  if (extent.x > size.x - pos.x || extent.y > size.y - pos.y) return false;
  for (int y = pos.y; y < pos.y + extent.y; ++y) {
    const int* row = cells + y * size.x;
    for (int x = pos.x; x < pos.x + extent.x; ++x)
      if (row[x] > 0) return false;
  }
  return true;
}

int cMapLayer::decrementUsage()
{
  int left = --usage;
  if (left <= 0) delete this;
  return left;
}

void cMapLayer::testMap() const
{
  if (hostDebugLog()) hostLog("Testing Map...\n");
  for (int y = 0; y < size.y; ++y) {
    for (int x = 0; x < size.x; ++x) hostLog("%u, ", static_cast<unsigned>(cells[y * size.x + x]));
    hostLog("\n");
  }
  if (hostDebugLog()) hostLog("End Test.\n");
}
