#ifndef KORVANE_RENDER_CATALOGUEIMAGES_H
#define KORVANE_RENDER_CATALOGUEIMAGES_H
// The client's side of the catalogue: reading it from "gamedata.dat", its images scaled per
// zoom level, and the image test view.
#include <memory>
#include <vector>

#include "world/metadatabase.h"

struct BITMAP;
struct DATAFILE;

// Builds the catalogue from a loaded "gamedata.dat". The images and description texts stay
// borrowed from the datafile, which must outlive the catalogue.
std::unique_ptr<cMetaDatabase> readCatalogue(DATAFILE* gamedata);

// Tile images scaled for a zoom level (1..20; 8 draws them at their size on a 1024-pixel-wide
// screen). Each kind caches one zoom, the last asked for, until another zoom is asked for or
// the cache is destroyed. An index outside the catalogue, a missing image or zoom 0 gives null.
class cCatalogueImages {
public:
  explicit cCatalogueImages(const cMetaDatabase& catalogue);  // borrowed; must outlive this
  ~cCatalogueImages();
  cCatalogueImages(const cCatalogueImages&) = delete;
  cCatalogueImages& operator=(const cCatalogueImages&) = delete;

  BITMAP* retrieveTerrainImage(int i, int zoom);
  BITMAP* retrieveObjectImage(int i, int zoom);
  BITMAP* retrieveUnitImage(int i, int zoom);

private:
  struct cScaled {
    BITMAP* image = nullptr;  // owned
    int zoom = 0;             // 0: no cached copy
  };
  static BITMAP* scaled(std::vector<cScaled>& cache, int i, BITMAP* original, int zoom);

  const cMetaDatabase& catalogue;
  std::vector<cScaled> terrains, objects, units;
};

// The client's scaled images of metaList; null until the game engine makes them.
extern cCatalogueImages* metaImages;

// Debug view: every terrain, building and unit image from index 1, in columns.
void testImages(const cMetaDatabase& catalogue, BITMAP* dest);
// The same images from index 1 in a grid of equal square cells, as large as lets them all
// fit inside area (pixels of dest); each shrunk to its cell, never enlarged.
void showCatalogue(const cMetaDatabase& catalogue, BITMAP* dest, cRect area);

#endif
