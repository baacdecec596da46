#ifndef KORVANE_WORLD_METADATABASE_H
#define KORVANE_WORLD_METADATABASE_H
// The catalogue of terrain, building and unit kinds: plain tables and lookups that both
// programs carry. Images are only borrowed pointers here; reading "gamedata.dat" and scaling
// images per zoom belong to the client's drawing code (render/catalogueimages.h).
#include <vector>

#include "world/pointutil.h"

struct BITMAP;

class cMetaDataItem {
public:
  const char* description = "";  // not owned: points at the datafile's property text
  cIsoPoint size;                // footprint x, y in cells; z the height value
  int damage = 0;
  int areaEffect = 0;  // radius in cells of a shot's damage disc
  int hitPoints = 0;
  int defence = 0;
  int range = 0;
  int fireRate = 0;             // a unit fires every fireRate + 1 turns
  bool block = true;            // true when "BLCK" is 0 or absent
  BITMAP* iconImage = nullptr;  // borrowed from the datafile
  BITMAP* tileImage = nullptr;  // borrowed: the image at the reference scale

  cMetaDataItem() = default;
  // Terrain entry: 0 hit points are stored as 65536.
  cMetaDataItem(const char* desc, cIsoPoint sz, BITMAP* tile, int hp);
};

class cMetaDatabase {
public:
  // A catalogue from ready tables (the client reads them from "gamedata.dat").
  cMetaDatabase(std::vector<cMetaDataItem> terrainTable, std::vector<cMetaDataItem> objectTable,
                std::vector<cMetaDataItem> unitTable);
  cMetaDatabase(const cMetaDatabase&) = delete;
  cMetaDatabase& operator=(const cMetaDatabase&) = delete;

  int retrieveMaxTerrains() const { return numTerrains; }
  int retrieveMaxObjects() const { return numObjects; }
  int retrieveMaxUnits() const { return numUnits; }

  // Indices are not checked: callers pass 0 <= i < the table size.
  BITMAP* retrieveTerrainImage(int i) const { return terrains[i].tileImage; }
  cIsoPoint retrieveTerrainSize(int i) const { return terrains[i].size; }

  BITMAP* retrieveObjectImage(int i) const { return objects[i].tileImage; }
  cIsoPoint retrieveObjectSize(int i) const { return objects[i].size; }
  int retrieveObjectHitPoints(int i) const { return objects[i].hitPoints; }
  const char* retrieveObjectDesc(int i) const { return objects[i].description; }
  BITMAP* retrieveObjectIcon(int i) const { return objects[i].iconImage; }

  BITMAP* retrieveUnitImage(int i) const { return units[i].tileImage; }
  cIsoPoint retrieveUnitSize(int i) const { return units[i].size; }
  int retrieveUnitHitPoints(int i) const { return units[i].hitPoints; }
  const char* retrieveUnitDesc(int i) const { return units[i].description; }
  BITMAP* retrieveUnitIcon(int i) const { return units[i].iconImage; }
  int retrieveUnitDamage(int i) const { return units[i].damage; }
  int retrieveUnitAreaEffect(int i) const { return units[i].areaEffect; }
  int retrieveUnitDefence(int i) const { return units[i].defence; }
  bool retrieveUnitBlock(int i) const { return units[i].block; }
  int retrieveUnitRange(int i) const { return units[i].range; }
  int retrieveUnitFireRate(int i) const { return units[i].fireRate; }

  // Index of the first unit whose description is this very text object (not an equal
  // text), or -1.
  int findUnit(const char* desc) const;

  void setTerrain(BITMAP* image, int i) { terrains[i].tileImage = image; }
  void setObject(BITMAP* image, int i) { objects[i].tileImage = image; }

  // Screen width in pixels for which the images are drawn at zoom 8.
  static int getRes() { return 1024; }

private:
  int numTerrains = 0;
  int numObjects = 0;
  int numUnits = 0;
  std::vector<cMetaDataItem> terrains;
  std::vector<cMetaDataItem> objects;  // buildings
  std::vector<cMetaDataItem> units;
};

// The client's one catalogue; null in the server and until the client's engine builds it.
extern cMetaDatabase* metaList;

#endif
