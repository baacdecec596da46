#ifndef KORVANE_WORLD_METADATABASE_H
#define KORVANE_WORLD_METADATABASE_H
// The catalogue of terrain, building and unit kinds: plain tables of figures and lookups
// that both programs carry. The kinds' pictures, reading "gamedata.dat" and scaling per zoom
// belong to the client's drawing code (render/catalogueimages.h), keyed by the same indices.
#include <vector>

#include "world/pointutil.h"

class cMetaDataItem {
public:
  const char* description = "";  // not owned: points at the datafile's property text
  cIsoPoint size;                // footprint x, y in cells; z the height value
  int damage = 0;
  int areaEffect = 0;  // radius in cells of a shot's damage disc
  int hitPoints = 0;
  int defence = 0;
  int range = 0;
  int fireRate = 0;   // a unit fires every fireRate + 1 turns
  bool block = true;  // true when "BLCK" is 0 or absent

  cMetaDataItem() = default;
  // Terrain entry: 0 hit points are stored as 65536.
  cMetaDataItem(const char* desc, cIsoPoint sz, int hp);
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
  cIsoPoint retrieveTerrainSize(int i) const { return terrains[i].size; }

  cIsoPoint retrieveObjectSize(int i) const { return objects[i].size; }
  int retrieveObjectHitPoints(int i) const { return objects[i].hitPoints; }
  const char* retrieveObjectDesc(int i) const { return objects[i].description; }

  cIsoPoint retrieveUnitSize(int i) const { return units[i].size; }
  int retrieveUnitHitPoints(int i) const { return units[i].hitPoints; }
  const char* retrieveUnitDesc(int i) const { return units[i].description; }
  int retrieveUnitDamage(int i) const { return units[i].damage; }
  int retrieveUnitAreaEffect(int i) const { return units[i].areaEffect; }
  int retrieveUnitDefence(int i) const { return units[i].defence; }
  bool retrieveUnitBlock(int i) const { return units[i].block; }
  int retrieveUnitRange(int i) const { return units[i].range; }
  int retrieveUnitFireRate(int i) const { return units[i].fireRate; }

  // Index of the first unit whose description is this very text object (not an equal
  // text), or -1.
  int findUnit(const char* desc) const;

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

// The catalogue the map and its objects consult: the client's, null in the server. useCatalogue
// installs one (borrowed until replaced; null removes it) and returns the one before.
cMetaDatabase* useCatalogue(cMetaDatabase* catalogue);
extern cMetaDatabase* const& metaList;

#endif
