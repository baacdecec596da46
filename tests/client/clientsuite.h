#ifndef KORVANE_TESTS_CLIENT_CLIENTSUITE_H
#define KORVANE_TESTS_CLIENT_CLIENTSUITE_H
// What the client's in-process tests share: the window and input the client runs with, a
// context holding the build's data files, and a fake clock in a folder of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/game.h"
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

// A screen of 640 x 480, 16 bits, and a context with the data files of the build's run
// folder and their catalogue, made once per suite. Each test runs in a folder of its own
// with the log open.
class cClientTest : public testing::Test {
protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A view of the built-in map for player 0, laid out for the screen.
  static std::unique_ptr<cIsoViewRect> builtinView();

  static cClientContext* context;  // owned by the suite
  cTestDirectory directory;
  cFakeClock clock;
};

#endif
