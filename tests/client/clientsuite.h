#ifndef KORVANE_TESTS_CLIENT_CLIENTSUITE_H
#define KORVANE_TESTS_CLIENT_CLIENTSUITE_H
// What the client's in-process tests share: the window and input the client runs with, the
// build's data files, and an engine on a fake clock in a folder of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "client/cgameengine.h"
#include "net/player.h"
#include "support/testdirectory.h"

// Opens a 640 x 480, 16-bit window and installs the timer, keyboard and mouse; false when no
// window opens.
bool openClientScreen();

// Time moves only when the engine sleeps, or when a test moves it.
class cFakeClock : public cClock {
public:
  int64_t now() const override { return t; }
  void sleepUntil(int64_t when) override
  {
    if (when > t) t = when;
  }
  int64_t t = 0;
};

// An engine at 640 x 480, 16 bits, with the data files of the build's run folder loaded once
// per suite. SetUp makes the engine with a log open; TearDown ends the player's game, if any.
class cEngineTest : public testing::Test {
protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  cTestDirectory directory;
  cFakeClock clock;
  std::unique_ptr<cGameEngine> engine;
  cPlayer* player = nullptr;
};

#endif
