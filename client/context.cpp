#include "client/context.h"

#include <allegro.h>

#include "gui/fonts.h"

cClientContext::cClientContext()
    : previousHost(setHost(&log)),
      previousCatalogue(metaList),
      previousImages(metaImages),
      previousFont(::currentfont)
{
}

// What this context installed goes; what was there before it comes back.
cClientContext::~cClientContext()
{
  setHost(previousHost);
  if (metaImages == images.get()) useCatalogueImages(previousImages);
  if (metaList == catalogue.get()) useCatalogue(previousCatalogue);
  images.reset();
  catalogue.reset();
  if (gameFont) releaseFont(gameFont);
  if (currentfont && ::currentfont == currentfont) ::currentfont = previousFont;
}

void cClientContext::takeFonts()
{
  auto fonts = static_cast<DATAFILE*>(datafile[1].dat);
  currentfont = static_cast<FONT*>(fonts[0].dat);
  systemfont = static_cast<FONT*>(fonts[1].dat);
  ::currentfont = currentfont;
}

void cClientContext::startGame()
{
  if (gameFont) releaseFont(gameFont);
  gameFont = loadTimesOrDefault(12);
  catalogue = readCatalogue(metaData);
  images = readCatalogueImages(metaData);
  useCatalogue(catalogue.get());
  useCatalogueImages(images.get());
}
