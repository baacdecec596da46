#ifndef KORVANE_TESTS_RENDER_VIEWTEST_H
#define KORVANE_TESTS_RENDER_VIEWTEST_H
// What the map view tests share: a fixed screen width for the tile arithmetic, and a small
// catalogue of solid-colour rectangles installed in metaList and metaImages.
#include <allegro.h>

#include <memory>
#include <vector>

#include "addons/graphics_mode.h"
#include "render/catalogueimages.h"
#include "support/testhost.h"
#include "world/metadatabase.h"
#include "world/pointutil.h"

// The screen width the tile arithmetic reads: a fixed one, or the open graphics mode's (-1).
inline int& viewScreenWidth()
{
  static int width = 0;
  static cTestHost host([] { return width < 0 ? SCREEN_W : width; });
  return width;
}

// The tile arithmetic reads this width; the remembered tile constant is dropped.
inline void useScreenWidth(int width)
{
  viewScreenWidth() = width > 0 ? width : 0;
  cIsoPoint::getXConst(0);
}

// The tile arithmetic follows the open graphics mode.
inline void followScreen()
{
  viewScreenWidth() = -1;
  cIsoPoint::getXConst(0);
}

inline int rgb(BITMAP* bmp, int x, int y)
{
  const int c = getpixel(bmp, x, y);
  const int d = bitmap_color_depth(bmp);
  return (getr_depth(d, c) << 16) | (getg_depth(d, c) << 8) | getb_depth(d, c);
}

// A 1024 x 768 x 32 window (zoom 8 gives K = 42 and draws images 2 pixels larger than they
// are) and the catalogue:
//   terrain 1 red 84 x 42, terrain 2 without an image;
//   building 1 grey 168 x 120 (2 x 2 cells, 100 hit points), building 2 without an image;
//   unit 1 yellow 40 x 60 (1 cell, 40 hit points), unit 2 cyan 40 x 60.
class ViewWorld {
public:
  static constexpr int terrainColour = 0xc80000, buildingColour = 0x808080;
  static constexpr int unitColour = 0xdcdc00, otherUnitColour = 0x00c8c8;

  bool open()
  {
    if (!setGraphicsMode(32, 1024, 768)) return false;
    followScreen();
    images = {solid(84, 42, terrainColour), solid(168, 120, buildingColour),
              solid(40, 60, unitColour), solid(40, 60, otherUnitColour)};
    std::vector<cMetaDataItem> terrains{cMetaDataItem(), kind("Red", 1, 1, 0),
                                        kind("Bare", 1, 1, 0)};
    std::vector<cMetaDataItem> objects{cMetaDataItem(), kind("Hall", 2, 2, 100),
                                       kind("Ghost", 2, 2, 100)};
    std::vector<cMetaDataItem> units{cMetaDataItem(), kind("Scout", 1, 1, 40),
                                     kind("Rider", 1, 1, 40)};
    catalogue = std::make_unique<cMetaDatabase>(terrains, objects, units);
    scaled = std::make_unique<cCatalogueImages>(
        std::vector<cKindPictures>{{}, {images[0]}, {}},
        std::vector<cKindPictures>{{}, {images[1]}, {}},
        std::vector<cKindPictures>{{}, {images[2]}, {images[3]}});
    useCatalogue(catalogue.get());
    useCatalogueImages(scaled.get());
    return true;
  }
  ~ViewWorld()
  {
    useCatalogueImages(nullptr);
    useCatalogue(nullptr);
    scaled.reset();
    catalogue.reset();
    for (BITMAP* image : images) destroy_bitmap(image);
  }

  static BITMAP* solid(int w, int h, int colour)
  {
    BITMAP* bmp = create_bitmap(w, h);
    clear_to_color(bmp, makecol(colour >> 16, (colour >> 8) & 255, colour & 255));
    return bmp;
  }

private:
  static cMetaDataItem kind(const char* desc, int w, int h, int hp)
  {
    cMetaDataItem item(desc, cIsoPoint(w, h, 1), hp);
    item.hitPoints = hp;
    return item;
  }

  std::vector<BITMAP*> images;
  std::unique_ptr<cMetaDatabase> catalogue;
  std::unique_ptr<cCatalogueImages> scaled;
};

#endif
