#include "client/pacing.h"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "gui/framepacer.h"

namespace {
constexpr int64_t microsPerSecond = 1000000;
}

int64_t cSteadyClock::now() const
{
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * microsPerSecond + t.tv_nsec / 1000;
}

void cSteadyClock::sleepUntil(int64_t when)
{
  if (cFramePacer::atEveryWait) cFramePacer::atEveryWait();
  timespec t{};
  t.tv_sec = static_cast<time_t>(when / microsPerSecond);
  t.tv_nsec = static_cast<long>(when % microsPerSecond) * 1000;
  // A signal (Allegro's timer, the X event thread) cuts a sleep short: go back to sleep.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {}
}

cClock& steadyClock()
{
  static cSteadyClock clock;
  return clock;
}

cPacer::cPacer(cClock& clock) : clock(clock) { restart(); }

void cPacer::restart() { nextTurn = nextFrame = clock.now(); }

int cPacer::turnsDue()
{
  const int64_t now = clock.now();
  if (now - nextTurn > stallLimit) {
    nextTurn = now + turnPeriod;
    return 1;
  }
  int turns = 0;
  while (turns < maxCatchUpTurns && now >= nextTurn) {
    nextTurn += turnPeriod;
    ++turns;
  }
  return turns;
}

bool cPacer::frameDue()
{
  const int64_t now = clock.now();
  if (now < nextFrame) return false;
  nextFrame += framePeriod;
  if (nextFrame <= now) nextFrame = now + framePeriod;
  return true;
}

int64_t cPacer::nextDeadline() const { return std::min(nextTurn, nextFrame); }

void cPacer::sleep() { clock.sleepUntil(nextDeadline()); }

void waitForKey()
{
  cFramePacer pacer(60);
  while (!keypressed()) pacer.wait();
  readkey();
}
