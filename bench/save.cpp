// Saving a game: the time to write a 250 x 250 game with 5,000 objects to disk (encoding,
// writing, fsync of the file and its folder, rename), as the median of 20 writes.
// Usage: save
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "net/savegame.h"
#include "support/testdirectory.h"
#include "support/testgames.h"
#include "world/map.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// False when a write failed (the reason printed).
bool benchWrite(int writes)
{
  const cTestDirectory folder("korvane-save");
  if (!folder.ok()) return false;
  cMap map(cPoint(250, 250));
  const int objects = fillTestGame(map, 5000);
  std::vector<double> encoding, whole;
  std::string bytes, reason;
  for (int i = 0; i < writes; ++i) {
    const Clock::time_point start = Clock::now();
    encodeSavedGame(map, bytes);
    encoding.push_back(millisecondsSince(start));
    if (!writeSavedGame("state.kvs", bytes, reason)) {
      std::fprintf(stderr, "save: %s\n", reason.c_str());
      return false;
    }
    whole.push_back(millisecondsSince(start));
  }
  std::printf(
      "write 250 x 250, %d objects, %zu bytes, median of %d: %.2f ms "
      "(encoding %.2f ms), fastest %.2f ms, slowest %.2f ms\n",
      objects, bytes.size(), writes, median(whole), median(encoding),
      *std::min_element(whole.begin(), whole.end()), *std::max_element(whole.begin(), whole.end()));
  return true;
}

}  // namespace

int main(int argc, char**)
{
  if (argc != 1) {
    std::fprintf(stderr,
                 "usage: save\n"
                 "  Writes a 250 x 250 game with 5,000 objects 20 times (with fsync).\n");
    return 2;
  }
  return benchWrite(20) ? 0 : 1;
}
