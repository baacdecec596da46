#ifndef KORVANE_RENDER_CATALOGUEIMAGES_H
#define KORVANE_RENDER_CATALOGUEIMAGES_H
// The client's side of the catalogue: reading it from "gamedata.dat", the kinds' pictures
// keyed by table and index (the catalogue's own), their copies scaled per zoom level, and the
// image test view.
#include <memory>
#include <vector>

#include "world/metadatabase.h"

struct BITMAP;
struct DATAFILE;

// Builds the catalogue's tables from a loaded "gamedata.dat". The description texts stay
// borrowed from the datafile, which must outlive the catalogue.
std::unique_ptr<cMetaDatabase> readCatalogue(DATAFILE* gamedata);

// The pictures of one kind, both borrowed (from the datafile, or from whoever made them).
struct cKindPictures {
  BITMAP* tile = nullptr;  // the image at the reference scale
  BITMAP* icon = nullptr;  // the kind's icon; terrains have none
};

// Tile images and icons of every kind, and the tile images scaled for a zoom level (1..20; 8
// draws them at their size on a 1024-pixel-wide screen). Each kind caches one zoom, the last
// asked for, until another zoom is asked for or the cache is destroyed. An index outside a
// table, a missing image or zoom 0 gives null.
class cCatalogueImages {
public:
  cCatalogueImages(std::vector<cKindPictures> terrainTable, std::vector<cKindPictures> objectTable,
                   std::vector<cKindPictures> unitTable);
  ~cCatalogueImages();
  cCatalogueImages(const cCatalogueImages&) = delete;
  cCatalogueImages& operator=(const cCatalogueImages&) = delete;

  int retrieveMaxTerrains() const { return static_cast<int>(terrains.size()); }
  int retrieveMaxObjects() const { return static_cast<int>(objects.size()); }
  int retrieveMaxUnits() const { return static_cast<int>(units.size()); }

  BITMAP* retrieveTerrainImage(int i) const { return at(terrains, i).tile; }
  BITMAP* retrieveObjectImage(int i) const { return at(objects, i).tile; }
  BITMAP* retrieveUnitImage(int i) const { return at(units, i).tile; }
  BITMAP* retrieveObjectIcon(int i) const { return at(objects, i).icon; }
  BITMAP* retrieveUnitIcon(int i) const { return at(units, i).icon; }
  BITMAP* retrieveTerrainImage(int i, int zoom);
  BITMAP* retrieveObjectImage(int i, int zoom);
  BITMAP* retrieveUnitImage(int i, int zoom);

  // Replace the tile image of a terrain or building kind (borrowed); the scaled copy follows.
  void setTerrain(BITMAP* image, int i);
  void setObject(BITMAP* image, int i);

private:
  struct cKind {
    cKindPictures pictures;
    BITMAP* scaled = nullptr;  // owned
    int zoom = 0;              // of scaled; 0: no cached copy
  };
  static std::vector<cKind> kinds(std::vector<cKindPictures> table);
  static const cKindPictures& at(const std::vector<cKind>& table, int i);
  static BITMAP* scaled(std::vector<cKind>& table, int i, int zoom);
  static void forget(cKind& kind);

  std::vector<cKind> terrains, objects, units;
};

// The pictures of a loaded "gamedata.dat", in the tables readCatalogue makes of it.
std::unique_ptr<cCatalogueImages> readCatalogueImages(DATAFILE* gamedata);

// The pictures the map view and the minimap draw: the client's. useCatalogueImages installs
// them (borrowed until replaced; null removes them) and returns the ones before.
cCatalogueImages* useCatalogueImages(cCatalogueImages* images);
extern cCatalogueImages* const& metaImages;

// Debug view: every terrain, building and unit image from index 1, in columns.
void testImages(const cCatalogueImages& images, BITMAP* dest);
// The same images from index 1 in a grid of equal square cells, as large as lets them all
// fit inside area (pixels of dest); each shrunk to its cell, never enlarged.
void showCatalogue(const cCatalogueImages& images, BITMAP* dest, cRect area);

#endif
