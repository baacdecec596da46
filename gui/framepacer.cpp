#include "gui/framepacer.h"

#include <allegro.h>

cFramePacer::cFramePacer(int framesPerSecond)
    : period(std::chrono::nanoseconds(1000000000LL / (framesPerSecond > 0 ? framesPerSecond : 60))),
      start(clock::now()),
      next(start + period)
{
}

void (*cFramePacer::atEveryWait)() = nullptr;

void cFramePacer::wait()
{
  if (atEveryWait) atEveryWait();
  auto now = clock::now();
  if (now - next > std::chrono::milliseconds(500)) next = now;
  while (now < next) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
    rest(left > 1 ? left : 1);
    now = clock::now();
  }
  next += period;
}

long cFramePacer::framesElapsed() const { return (clock::now() - start) / period; }
