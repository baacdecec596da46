#include "render/catalogueimages.h"

#include <allegro.h>
#include <cstdint>
#include <vector>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
cCatalogueImages* installedImages = nullptr;
}

cCatalogueImages* const& metaImages = installedImages;

cCatalogueImages* useCatalogueImages(cCatalogueImages* images)
{
  return std::exchange(installedImages, images);
}

namespace {

int entryCount(const DATAFILE* table)
{
  int count = 0;
  while (table && table[count].type != DAT_END) ++count;
  return count;
}

// Object `index` of the top level when it is a nested datafile; null when it is absent.
DATAFILE* nestedFile(DATAFILE* gamedata, int index)
{
  if (entryCount(gamedata) <= index || gamedata[index].type != DAT_FILE) return nullptr;
  return static_cast<DATAFILE*>(gamedata[index].dat);
}

int property(const DATAFILE& entry, int id) { return std::atoi(get_datafile_property(&entry, id)); }

BITMAP* bitmapAt(const DATAFILE* table, int index)
{
  if (index < 0 || entryCount(table) <= index || table[index].type != DAT_BITMAP) return nullptr;
  return static_cast<BITMAP*>(table[index].dat);
}

// The declared "NUMD" (or the default when it reads 0), but never more entries than the
// nested datafile holds: reading past its end would walk off the array.
int tableCount(DATAFILE* gamedata, int index, int fallback)
{
  const DATAFILE* table = nestedFile(gamedata, index);
  int count = table ? property(gamedata[index], DAT_ID('N', 'U', 'M', 'D')) : 0;
  if (table && count == 0) count = fallback;
  return std::clamp(count, 0, entryCount(table));
}

cMetaDataItem readKind(const DATAFILE& entry)
{
  cMetaDataItem item;
  item.size = cIsoPoint(property(entry, DAT_ID('X', 'S', 'I', 'Z')),
                        property(entry, DAT_ID('Y', 'S', 'I', 'Z')),
                        property(entry, DAT_ID('Z', 'S', 'I', 'Z')));
  item.damage = property(entry, DAT_ID('D', 'A', 'M', ' '));
  item.areaEffect = property(entry, DAT_ID('D', 'S', 'I', 'Z'));
  item.hitPoints = property(entry, DAT_ID('M', 'X', 'H', 'P'));
  item.defence = property(entry, DAT_ID('D', 'E', 'F', ' '));
  item.range = property(entry, DAT_ID('R', 'A', 'N', 'G'));
  item.fireRate = property(entry, DAT_ID('F', 'R', 'A', 'T'));
  item.block = property(entry, DAT_ID('B', 'L', 'C', 'K')) == 0;
  item.description = get_datafile_property(&entry, DAT_ID('D', 'E', 'S', 'C'));
  return item;
}

void readKinds(std::vector<cMetaDataItem>& table, const DATAFILE* kinds)
{
  for (size_t i = 0; i < table.size(); ++i) table[i] = readKind(kinds[i]);
}

// A kind's icon is entry i - 1 of the icon file; kind 0 shows its own picture.
std::vector<cKindPictures> readPictures(int count, const DATAFILE* kinds, const DATAFILE* icons)
{
  std::vector<cKindPictures> table(count);
  for (int i = 0; i < count; ++i) {
    table[i].tile = bitmapAt(kinds, i);
    table[i].icon = i >= 1 ? bitmapAt(icons, i - 1) : table[i].tile;
  }
  return table;
}

void drawInColumn(BITMAP* dest, BITMAP* image, int& x, int& y)
{
  if (!image) return;
  draw_sprite(dest, image, x, y);
  y += image->h;
  if (y > SCREEN_H) {
    y = 0;
    x += image->w;
  }
}

// The image scaled so that zoom 8 on a screen getRes() pixels wide gives it its own size
// plus a pixel; the mask colour fills what the stretch leaves uncovered.
BITMAP* scaleImage(BITMAP* original, int zoom)
{
  const int scale = SCREEN_W * zoom;
  const int reference = cMetaDatabase::getRes() * 8;
  const int width = ((original->w + 1) * scale) / reference + 1;
  const int height = ((original->h + 1) * scale) / reference + 1;
  if (width < 1 || height < 1) return nullptr;
  const int depth = bitmap_color_depth(original);
  BITMAP* image = create_bitmap_ex(depth, width, height);
  if (!image) return nullptr;
  clear_to_color(image, makecol_depth(depth, 255, 0, 255));
  stretch_sprite(image, original, 0, 0, width, height);
  return image;
}

}  // namespace

std::unique_ptr<cMetaDatabase> readCatalogue(DATAFILE* gamedata)
{
  std::vector<cMetaDataItem> terrains(tableCount(gamedata, 1, 10));
  std::vector<cMetaDataItem> objects(tableCount(gamedata, 2, 9));
  std::vector<cMetaDataItem> units(tableCount(gamedata, 3, 2));
  for (size_t i = 0; i < terrains.size(); ++i)
    terrains[i] = cMetaDataItem("Coloured Grass", cIsoPoint(1, 1, 0), 256);
  readKinds(objects, nestedFile(gamedata, 2));
  readKinds(units, nestedFile(gamedata, 3));
  return std::make_unique<cMetaDatabase>(std::move(terrains), std::move(objects), std::move(units));
}

std::unique_ptr<cCatalogueImages> readCatalogueImages(DATAFILE* gamedata)
{
  const DATAFILE* icons = nestedFile(gamedata, 4);
  std::vector<cKindPictures> terrains(tableCount(gamedata, 1, 10));
  for (size_t i = 0; i < terrains.size(); ++i)
    terrains[i].tile = bitmapAt(nestedFile(gamedata, 1), static_cast<int>(i));
  return std::make_unique<cCatalogueImages>(
      std::move(terrains), readPictures(tableCount(gamedata, 2, 9), nestedFile(gamedata, 2), icons),
      readPictures(tableCount(gamedata, 3, 2), nestedFile(gamedata, 3), icons));
}

cCatalogueImages::cCatalogueImages(std::vector<cKindPictures> terrainTable,
                                   std::vector<cKindPictures> objectTable,
                                   std::vector<cKindPictures> unitTable)
    : terrains(kinds(std::move(terrainTable))),
      objects(kinds(std::move(objectTable))),
      units(kinds(std::move(unitTable)))
{
}

cCatalogueImages::~cCatalogueImages()
{
  for (auto* table : {&terrains, &objects, &units})
    for (cKind& kind : *table) forget(kind);
}

std::vector<cCatalogueImages::cKind> cCatalogueImages::kinds(std::vector<cKindPictures> table)
{
  std::vector<cKind> result(table.size());
  for (size_t i = 0; i < table.size(); ++i) result[i].pictures = table[i];
  return result;
}

const cKindPictures& cCatalogueImages::at(const std::vector<cKind>& table, int i)
{
  static const cKindPictures none;
  return i >= 0 && i < static_cast<int>(table.size()) ? table[i].pictures : none;
}

void cCatalogueImages::forget(cKind& kind)
{
  if (kind.scaled) destroy_bitmap(kind.scaled);
  kind.scaled = nullptr;
  kind.zoom = 0;
}

BITMAP* cCatalogueImages::scaled(std::vector<cKind>& table, int i, int zoom)
{
  if (i < 0 || i >= static_cast<int>(table.size())) return nullptr;
  cKind& kind = table[i];
  if (kind.zoom == zoom) return kind.scaled;
  forget(kind);
  if (!kind.pictures.tile || zoom == 0) return nullptr;
  kind.scaled = scaleImage(kind.pictures.tile, zoom);
  if (kind.scaled) kind.zoom = zoom;
  return kind.scaled;
}

BITMAP* cCatalogueImages::retrieveTerrainImage(int i, int zoom)
{
  return scaled(terrains, i, zoom);
}

BITMAP* cCatalogueImages::retrieveObjectImage(int i, int zoom) { return scaled(objects, i, zoom); }

BITMAP* cCatalogueImages::retrieveUnitImage(int i, int zoom) { return scaled(units, i, zoom); }

void cCatalogueImages::setTerrain(BITMAP* image, int i)
{
  if (i < 0 || i >= retrieveMaxTerrains()) return;
  terrains[i].pictures.tile = image;
  forget(terrains[i]);
}

void cCatalogueImages::setObject(BITMAP* image, int i)
{
  if (i < 0 || i >= retrieveMaxObjects()) return;
  objects[i].pictures.tile = image;
  forget(objects[i]);
}

void testImages(const cCatalogueImages& images, BITMAP* dest)
{
  int x = 0;
  int y = 0;
  for (int i = 1; i < images.retrieveMaxTerrains(); ++i)
    drawInColumn(dest, images.retrieveTerrainImage(i), x, y);
  for (int i = 1; i < images.retrieveMaxObjects(); ++i)
    drawInColumn(dest, images.retrieveObjectImage(i), x, y);
  for (int i = 1; i < images.retrieveMaxUnits(); ++i)
    drawInColumn(dest, images.retrieveUnitImage(i), x, y);
}

namespace {
std::vector<BITMAP*> catalogueImages(const cCatalogueImages& catalogue)
{
  std::vector<BITMAP*> images;
  for (int i = 1; i < catalogue.retrieveMaxTerrains(); ++i)
    images.push_back(catalogue.retrieveTerrainImage(i));
  for (int i = 1; i < catalogue.retrieveMaxObjects(); ++i)
    images.push_back(catalogue.retrieveObjectImage(i));
  for (int i = 1; i < catalogue.retrieveMaxUnits(); ++i)
    images.push_back(catalogue.retrieveUnitImage(i));
  images.erase(std::remove(images.begin(), images.end(), nullptr), images.end());
  return images;
}

// The largest square cell side that fits n cells into w x h; 0 when none fits.
int gridCell(int n, int w, int h)
{
  for (int side = std::min(w, h); side > 0; --side)
    if (int64_t(w / side) * (h / side) >= n) return side;
  return 0;
}

void drawInCell(BITMAP* dest, BITMAP* image, int x, int y, int side)
{
  const double shrink = std::min({1.0, double(side) / image->w, double(side) / image->h});
  const int w = std::max(1, int(image->w * shrink)), h = std::max(1, int(image->h * shrink));
  BITMAP* source = image;
  if (bitmap_color_depth(image) != bitmap_color_depth(dest)) {
    source = create_bitmap_ex(bitmap_color_depth(dest), image->w, image->h);
    if (!source) return;
    blit(image, source, 0, 0, 0, 0, image->w, image->h);
  }
  stretch_sprite(dest, source, x + (side - w) / 2, y + (side - h) / 2, w, h);
  if (source != image) destroy_bitmap(source);
}
}  // namespace

void showCatalogue(const cCatalogueImages& catalogue, BITMAP* dest, cRect area)
{
  const std::vector<BITMAP*> images = catalogueImages(catalogue);
  const int side = gridCell(int(images.size()), area.myWidth(), area.myHeight());
  if (side == 0) return;
  const int columns = area.myWidth() / side;
  for (size_t i = 0; i < images.size(); ++i) {
    const int column = int(i) % columns, row = int(i) / columns;
    drawInCell(dest, images[i], area.left() + column * side, area.top() + row * side, side);
  }
}
