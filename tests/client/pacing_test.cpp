#include <gtest/gtest.h>

#include "client/pacing.h"

namespace {

// Time moves only when the loop sleeps, or when a test says a pass took long.
class FakeClock : public cClock {
public:
  int64_t now() const override { return t; }
  void sleepUntil(int64_t when) override
  {
    ++sleeps;
    if (when > t) t = when;
  }
  int64_t t = 1000000;
  int sleeps = 0;
};

struct LoopCount {
  int turns = 0;
  int frames = 0;
  int passes = 0;
};

// Runs the game loop's pacing for `span` microseconds; every pass costs `passCost`.
LoopCount runLoop(FakeClock& clock, cPacer& pacer, int64_t span, int64_t passCost)
{
  LoopCount run;
  const int64_t end = clock.t + span;
  while (clock.t < end) {
    run.turns += pacer.turnsDue();
    if (pacer.frameDue()) ++run.frames;
    clock.t += passCost;
    pacer.sleep();
    ++run.passes;
  }
  return run;
}

TEST(Pacer, TurnsKeepTenASecondWhateverAPassCosts)
{
  struct Case {
    int64_t passCost;  // microseconds of work in one pass
    int minFrames, maxFrames;
  } cases[] = {
      {0, 1790, 1810},     // a fast machine: frames at 60 a second
      {5000, 1790, 1810},  // drawing takes a while
      {40000, 700, 760},   // slower than the frame rate: every pass is a frame
      {150000, 190, 210},  // slower than the turn rate: turns catch up, at most 3 a pass
  };
  for (const Case& c : cases) {
    FakeClock clock;
    cPacer pacer(clock);
    const LoopCount run = runLoop(clock, pacer, 30000000, c.passCost);
    EXPECT_NEAR(run.turns, 300, 2) << "pass cost " << c.passCost;
    EXPECT_GE(run.frames, c.minFrames) << "pass cost " << c.passCost;
    EXPECT_LE(run.frames, c.maxFrames) << "pass cost " << c.passCost;
    // Never a pass without a turn or a frame: the loop slept until something was due.
    EXPECT_LE(run.passes, run.turns + run.frames) << "pass cost " << c.passCost;
  }
}

TEST(Pacer, CatchUpIsCappedAndAStallResynchronises)
{
  struct Case {
    int64_t late;           // microseconds past the first deadline
    int first, second;      // turns of two passes right after
    int64_t nextTurnAfter;  // then the next turn is due this long after the late moment
  } cases[] = {
      {0, 1, 0, 100000},       {99999, 1, 0, 1},
      {100000, 2, 0, 100000},  {350000, 3, 1, 50000},  // three now, the fourth in the next pass
      {500000, 3, 3, 100000},  // just within the limit: everything is made up
      {500001, 1, 0, 100000},  // a stall: one turn, then a period from now
      {7000000, 1, 0, 100000},
  };
  for (const Case& c : cases) {
    FakeClock clock;
    cPacer pacer(clock);
    clock.t += c.late;
    EXPECT_EQ(pacer.turnsDue(), c.first) << "late " << c.late;
    EXPECT_EQ(pacer.turnsDue(), c.second) << "late " << c.late;
    while (pacer.turnsDue() > 0) {}
    clock.t += c.nextTurnAfter - 1;
    EXPECT_EQ(pacer.turnsDue(), 0) << "late " << c.late;
    clock.t += 1;
    EXPECT_EQ(pacer.turnsDue(), 1) << "late " << c.late;
  }
}

TEST(Pacer, MissedFramesAreNotMadeUp)
{
  FakeClock clock;
  cPacer pacer(clock);
  EXPECT_TRUE(pacer.frameDue());
  clock.t += 1000000;
  EXPECT_TRUE(pacer.frameDue());
  EXPECT_FALSE(pacer.frameDue());
  while (pacer.turnsDue() > 0) {}
  EXPECT_EQ(pacer.nextDeadline(), clock.t + cPacer::framePeriod);
}

}  // namespace
