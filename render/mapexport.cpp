// The map text export ("map1"): a one-way dump of the terrain, the buildings and the units.
#include <cstdio>

#include "render/isoview.h"

namespace {

void writeTerrain(std::FILE* f, const cMap& map, cPoint extent)
{
  std::fputs("__START_TERRAINS_\n", f);
  for (int y = 0; y < extent.y; ++y)
    for (int x = 0; x < extent.x; ++x)
      std::fprintf(f, "%i,%i,%i\n", x, y, map.getTerrain(cPoint(x, y)));
  std::fputs("__END_TERRAINS_\n", f);
}

// Position and type run together without separators; that is the format.
void writeBuildings(std::FILE* f, const cObjectList& buildings)
{
  std::fputs("__START_OBJECTS_\n", f);
  int k = 1;
  for (cObjectListNode* n = buildings.getFirstNode(); n; n = n->getNext(), ++k) {
    const cBaseObject* o = n->myData();
    std::fprintf(f, "__OBJECT_%i_%i%i%i__END_OBJECT_%i_\n", k, o->myPosition().x, o->myPosition().y,
                 o->myID(), k);
  }
  std::fputs("__END_OBJECTS_\n", f);
}

// The unit's type, not its number, closes its line; that is the format.
void writeUnits(std::FILE* f, const cObjectList& units)
{
  std::fputs("__START_UNITS_\n", f);
  int k = 1;
  for (cObjectListNode* n = units.getFirstNode(); n; n = n->getNext(), ++k) {
    const cBaseObject* o = n->myData();
    std::fprintf(f, "__UNIT_%i_%i%i__END_UNIT_%i_\n", k, o->myPosition().x, o->myPosition().y,
                 o->myID());
  }
  std::fputs("__END_UNITS_\n", f);
}

}  // namespace

bool cIsoView::saveMap(const char* fileName, const cProgramIdentity& program) const
{
  std::FILE* f = fileName ? std::fopen(fileName, "wb") : nullptr;
  if (!f) return false;
  std::fprintf(f, "__START_VERSION_%s,%s,%s__END_VERSION_\n", program.name, program.version,
               program.date);
  writeTerrain(f, *this, mapSize);
  writeBuildings(f, *buildings);
  writeUnits(f, *units);
  const bool written = !std::ferror(f);
  return std::fclose(f) == 0 && written;
}
