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
  // Rounded up to whole milliseconds, one sleep reaches the deadline: rounded down, the
  // fraction left over took a second wake-up in every frame.
  while (now < next) {
    rest(static_cast<unsigned>(std::chrono::ceil<std::chrono::milliseconds>(next - now).count()));
    now = clock::now();
  }
  next += period;
}

long cFramePacer::framesElapsed() const { return (clock::now() - start) / period; }
