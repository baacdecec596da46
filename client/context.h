#ifndef KORVANE_CLIENT_CONTEXT_H
#define KORVANE_CLIENT_CONTEXT_H
// The client's process-wide state, made once by main (or by a test) and passed by reference
// to whatever needs it: the log, the screen mode, the data files and fonts, the catalogue
// with its images. Members keep the names the client has always used for them.
#include <memory>

#include "client/logfile.h"
#include "client/screenmode.h"
#include "render/catalogueimages.h"
#include "world/metadatabase.h"

struct BITMAP;
struct DATAFILE;
struct FONT;

class cClientContext {
public:
  // Installs the log as the host of the code below the client (world/host.h).
  cClientContext();
  // Drops the catalogue and its images and the game font, and closes the log; what the
  // context installed gives way to what was installed before it. Unloads no data file (their
  // loader does that).
  ~cClientContext();
  cClientContext(const cClientContext&) = delete;
  cClientContext& operator=(const cClientContext&) = delete;

  // Takes currentfont and systemfont from tarvix.dat's object 1 and makes currentfont the
  // widgets' default font. Needs datafile.
  void takeFonts();
  // Builds the catalogue from metaData with its scaled images, makes them the ones the map
  // and the drawing code consult, and loads the game font ("times.ttf" at 12 points, else
  // currentfont). Needs metaData and a graphics mode; a second call replaces all three.
  void startGame();

  cClientLog log;
  cScreenMode screenMode;

  DATAFILE* datafile = nullptr;   // "tarvix.dat", loaded from start-up to shutdown
  DATAFILE* metaData = nullptr;   // "gamedata.dat", likewise; the catalogue is built from it
  FONT* currentfont = nullptr;    // item 0 of tarvix.dat's fonts (the datafile owns it)
  FONT* systemfont = nullptr;     // item 1 of the same; small texts and non-fatal notices
  FONT* gameFont = nullptr;       // the game screen's font; owned unless it is currentfont
  BITMAP* blankBitmap = nullptr;  // 29 x 29 in the colour (90, 90, 90); owned by main

  std::unique_ptr<cMetaDatabase> catalogue;  // from startGame on
  std::unique_ptr<cCatalogueImages> images;  // the catalogue's images scaled per zoom

private:
  // Installed again when the context goes.
  cHost* previousHost;
  cMetaDatabase* previousCatalogue;
  cCatalogueImages* previousImages;
  FONT* previousFont;
};

#endif
