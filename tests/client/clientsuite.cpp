#include "client/clientsuite.h"

#include <allegro.h>

#include <cstdlib>
#include <string>

#include "addons/graphics_mode.h"
#include "client/globals.h"
#include "client/logfile.h"
#include "world/host.h"

namespace {
int screenWidth() { return SCREEN_W; }

std::string runFolder()
{
  const char* build = std::getenv("KORVANE_BUILD");
  return std::string(build ? build : ".") + "/run/";
}

// Loads "tarvix.dat" and "gamedata.dat" as the client does and makes the first font current.
bool loadRunData()
{
  datafile = load_datafile((runFolder() + "tarvix.dat").c_str());
  metaData = load_datafile((runFolder() + "gamedata.dat").c_str());
  if (!datafile || !metaData) return false;
  currentfont = static_cast<FONT*>(static_cast<DATAFILE*>(datafile[1].dat)[0].dat);
  return true;
}
}  // namespace

bool openClientScreen()
{
  if (!setGraphicsMode(16)) return false;
  install_timer();
  install_keyboard();
  install_mouse();
  return true;
}

void cEngineTest::SetUpTestSuite()
{
  ASSERT_TRUE(openClientScreen());
  setHostScreenWidth(screenWidth);
  ASSERT_TRUE(loadRunData());
}

void cEngineTest::TearDownTestSuite()
{
  unload_datafile(datafile);
  unload_datafile(metaData);
  datafile = metaData = nullptr;
  currentfont = nullptr;
}

void cEngineTest::SetUp()
{
  ASSERT_TRUE(directory.ok());
  open_log("w");
  engine.reset(new cGameEngine(clock));
}

void cEngineTest::TearDown()
{
  if (player) engine->endGame(player);
  engine.reset();
  close_log();
}
