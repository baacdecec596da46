#ifndef KORVANE_CLIENT_PACING_H
#define KORVANE_CLIENT_PACING_H
// The game's time. Turns run at a steady rate on absolute deadlines, frames (input, drawing)
// at about 60 a second, and a loop sleeps until whichever is due first. Times are
// microseconds of a monotonic clock with an arbitrary origin; the clock is an interface so
// that tests can move time by hand.
#include <cstdint>

class cClock {
public:
  virtual ~cClock() = default;
  virtual int64_t now() const = 0;
  // Returns at once when `when` has passed.
  virtual void sleepUntil(int64_t when) = 0;
};

// CLOCK_MONOTONIC; sleeps with an absolute deadline, so a late wake-up is never added twice.
class cSteadyClock : public cClock {
public:
  int64_t now() const override;
  void sleepUntil(int64_t when) override;
};

// A game loop's schedule of turns and frames. (Menus and dialogs pace their frames with
// gui/framepacer.h.)
class cPacer {
public:
  static constexpr int64_t turnPeriod = 100000;  // 10 turns a second
  static constexpr int64_t framePeriod = 16667;  // about 60 frames a second
  static constexpr int maxCatchUpTurns = 3;      // turns run in one pass at most
  static constexpr int64_t stallLimit = 500000;  // a longer gap resynchronises the turns

  // The clock is borrowed and must outlive the pacer.
  explicit cPacer(cClock& clock);

  // Makes the first turn and frame due now (the start of a game, or after a pause).
  void restart();
  // The turns to run in this pass, 0..maxCatchUpTurns, moving the turn deadline on by as many
  // periods. Turns missed over more than stallLimit are dropped: one turn runs and the next
  // is a period from now.
  int turnsDue();
  // Whether a frame is due, moving the frame deadline on. Missed frames are never made up.
  bool frameDue();
  // Sleeps until the earlier of the two deadlines.
  void sleep();
  int64_t nextDeadline() const;

private:
  cClock& clock;
  int64_t nextTurn = 0;
  int64_t nextFrame = 0;
};

// The process's real clock.
cClock& steadyClock();

// Sleeps from frame to frame until a key is pressed, and reads it.
void waitForKey();

#endif
