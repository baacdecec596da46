// After its first search on a map, a search allocates its result layer and nothing else:
// every allocation of this test program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>

#include "sim/movement.h"

namespace {
std::atomic<long> allocations{0};

void* counted(std::size_t n)
{
  ++allocations;
  return std::malloc(n ? n : 1);
}
}  // namespace

void* operator new(std::size_t n)
{
  void* p = counted(n);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(MovementMemory, ASearchAfterTheFirstAllocatesOnlyItsLayer)
{
  // 60 x 40 with 55% buildings: free and built goals need every kind of pass.
  cMapLayer obstacles(cPoint(60, 40)), scratch(cPoint(60, 40));
  std::mt19937 rng(5);
  for (int i = 0; i < obstacles.cellCount(); ++i)
    if (rng() % 100 < 55) obstacles.place(long(i), 255);
  long before = allocations;
  delete new cMapLayer(obstacles.myMaxPos());
  const long layerCost = allocations - before;  // the object and its cells
  cMovement m(&obstacles, &scratch, nullptr);
  delete m.findPath(cPoint(1, 1), cPoint(58, 38));
  for (int k = 0; k < 20; ++k) {
    cPoint from(int(rng() % 60), int(rng() % 40)), goal(int(rng() % 60), int(rng() % 40));
    before = allocations;
    std::unique_ptr<cMapLayer> path(k % 2 ? m.attackPath(from, goal, 5, true)
                                          : m.findPath(from, goal));
    EXPECT_EQ(allocations - before, layerCost) << "search " << k;
  }
}
