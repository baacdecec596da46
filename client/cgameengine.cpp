#include "client/cgameengine.h"

#include <allegro.h>

#include "client/globals.h"
#include "client/logfile.h"
#include "gui/basicmouse.h"
#include "world/host.h"
#include "render/catalogueimages.h"
#include "world/metadatabase.h"

cGameEngine::cGameEngine()
{
  hostLog("cGameEngine().\n");
  open_log("a");
  metaList = readCatalogue(metaData).release();
  metaImages = new cCatalogueImages(*metaList);
  hostLog("Successfully Initilised Game Class\n");
}

cGameEngine::~cGameEngine()
{
  delete metaImages;
  metaImages = nullptr;
  delete metaList;
  metaList = nullptr;
}

void cGameEngine::start()
{
  BITMAP* page = create_bitmap(SCREEN_W, SCREEN_H);
  clear_bitmap(page);
  testImages(*metaList, page);
  hideMouse();
  blit(page, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
  showMouse();
  destroy_bitmap(page);
  while (!keypressed()) rest(1);
  readkey();
}
