#include "world/metadatabase.h"

#include <utility>

namespace {
cMetaDatabase* installedCatalogue = nullptr;
}

cMetaDatabase* const& metaList = installedCatalogue;

cMetaDatabase* useCatalogue(cMetaDatabase* catalogue)
{
  return std::exchange(installedCatalogue, catalogue);
}

cMetaDataItem::cMetaDataItem(const char* desc, cIsoPoint sz, int hp)
    : description(desc), size(sz), hitPoints(hp == 0 ? 65536 : hp)
{
}

cMetaDatabase::cMetaDatabase(std::vector<cMetaDataItem> terrainTable,
                             std::vector<cMetaDataItem> objectTable,
                             std::vector<cMetaDataItem> unitTable)
    : numTerrains(static_cast<int>(terrainTable.size())),
      numObjects(static_cast<int>(objectTable.size())),
      numUnits(static_cast<int>(unitTable.size())),
      terrains(std::move(terrainTable)),
      objects(std::move(objectTable)),
      units(std::move(unitTable))
{
}

int cMetaDatabase::findUnit(const char* desc) const
{
  for (int i = 0; i < numUnits; ++i)
    if (units[i].description == desc) return i;
  return -1;
}
