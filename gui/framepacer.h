#ifndef KORVANE_GUI_FRAMEPACER_H
#define KORVANE_GUI_FRAMEPACER_H
// Deadlines at a fixed rate on a monotonic clock, for loops that must not spin.
#include <chrono>

class cFramePacer {
public:
  explicit cFramePacer(int framesPerSecond);

  // Sleeps (Allegro's rest) until the next frame's deadline. After a stall longer than
  // half a second it starts afresh from now instead of rushing through the missed frames.
  void wait();
  // Whole frames since construction, by the clock: the same on a fast and a slow machine.
  long framesElapsed() const;

  // Called at the start of every wait, on the waiting thread; null for none. The client ends
  // the process from there when it is asked to stop.
  static void (*atEveryWait)();

private:
  using clock = std::chrono::steady_clock;
  clock::duration period;
  clock::time_point start;
  clock::time_point next;
};

#endif
