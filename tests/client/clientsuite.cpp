#include "client/clientsuite.h"

#include <allegro.h>

#include <cstdlib>
#include <string>

#include "addons/graphics_mode.h"
#include "render/isoviewrect.h"
#include "sim/builtinmap.h"
#include "world/host.h"

cClientContext* cClientTest::context = nullptr;

namespace {
std::string runFolder()
{
  const char* build = std::getenv("KORVANE_BUILD");
  return std::string(build ? build : ".") + "/run/";
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

void cClientTest::SetUpTestSuite()
{
  ASSERT_TRUE(openClientScreen());
  context = new cClientContext();
  context->datafile = load_datafile((runFolder() + "tarvix.dat").c_str());
  context->metaData = load_datafile((runFolder() + "gamedata.dat").c_str());
  ASSERT_TRUE(context->datafile && context->metaData);
  context->takeFonts();
  context->startGame();
}

void cClientTest::TearDownTestSuite()
{
  if (!context) return;
  DATAFILE* datafile = context->datafile;
  DATAFILE* metaData = context->metaData;
  delete context;
  context = nullptr;
  if (datafile) unload_datafile(datafile);
  if (metaData) unload_datafile(metaData);
}

void cClientTest::SetUp()
{
  ASSERT_TRUE(directory.ok());
  context->log.open("w");
}

void cClientTest::TearDown() { context->log.close(); }

std::unique_ptr<cIsoViewRect> cClientTest::builtinView()
{
  auto view = std::make_unique<cIsoViewRect>(cPoint(100, 100));
  view->setBounds(screenLayout(SCREEN_W, SCREEN_H).viewArea);
  loadBuiltinMap(view->getView(), 0);
  renumberOccupancy(view->getView());
  return view;
}
