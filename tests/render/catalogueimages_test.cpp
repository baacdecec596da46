#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "addons/graphics_mode.h"
#include "gui/button.h"
#include "render/catalogueimages.h"

namespace {

struct Entry {
  int width;
  int height;
  std::string properties;  // dat's NAME=value arguments, quoted where they hold blanks
};

void dat(const TempDir& dir, const std::string& arguments)
{
  const std::string command =
      "cd " + dir.path + " && dat -n0 -s1 -s-XSIZ -s-YSIZ " + arguments + " >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string upper(std::string text)
{
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// dir/<name>.dat holding one bitmap per entry, in order, object k named <NAME>k_BMP.
void buildTable(const TempDir& dir, const std::string& name, const std::vector<Entry>& entries)
{
  std::string files;
  for (size_t k = 0; k < entries.size(); ++k) {
    const std::string file = name + std::to_string(k) + ".bmp";
    BITMAP* bmp = create_bitmap_ex(24, entries[k].width, entries[k].height);
    clear_to_color(bmp, makecol24(40 * static_cast<int>(k) % 256, 128, 0));
    save_bitmap(dir.file(file).c_str(), bmp, nullptr);
    destroy_bitmap(bmp);
    files += " " + file;
  }
  dat(dir, "-a -t BMP " + name + ".dat" + files);
  for (size_t k = 0; k < entries.size(); ++k)
    if (!entries[k].properties.empty())
      dat(dir, name + ".dat " + upper(name) + std::to_string(k) + "_BMP " + entries[k].properties);
}

// dir/game.dat: a version object, then the tables in order, each with its "NUMD" if given.
std::string buildGame(const TempDir& dir,
                      const std::vector<std::pair<std::string, std::string>>& tables)
{
  std::ofstream(dir.file("version.bin")) << "v";
  dat(dir, "-a -t DATA game.dat version.bin");
  dat(dir, "game.dat VERSION_BIN \"ID  =0.26.10\"");
  for (const auto& [name, numd] : tables) {
    dat(dir, "-a -t FILE game.dat " + name + ".dat");
    if (!numd.empty()) dat(dir, "game.dat " + upper(name) + "_DAT NUMD=" + numd);
  }
  return dir.file("game.dat");
}

std::vector<Entry> plain(int count, int width, int height)
{
  std::vector<Entry> entries;
  for (int k = 0; k < count; ++k) entries.push_back({width + k, height + k, ""});
  return entries;
}

class CatalogueFile : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(setGraphicsMode(32)); }
  void TearDown() override
  {
    if (data) unload_datafile(data);
  }
  void load(const std::string& file)
  {
    data = load_datafile(file.c_str());
    ASSERT_NE(data, nullptr);
  }
  TempDir dir;
  DATAFILE* data = nullptr;
};

TEST_F(CatalogueFile, ReadsEveryFigureIconAndTheDefaultCounts)
{
  std::vector<Entry> buildings = plain(11, 20, 30);
  buildings[1].properties =
      "XSIZ=2 YSIZ=3 ZSIZ=40 \"DAM =5\" DSIZ=1 MXHP=800 \"DEF =3\" RANG=6 "
      "FRAT=4 BLCK=1 DESC=Barracks";
  std::vector<Entry> units = plain(4, 8, 16);
  units[1].properties =
      "XSIZ=1 YSIZ=1 ZSIZ=20 \"DAM =7\" DSIZ=2 MXHP=120 \"DEF =1\" RANG=5 "
      "FRAT=3 BLCK=1 \"DESC=Heavy Tank\"";
  buildTable(dir, "terrains", plain(12, 10, 5));
  buildTable(dir, "buildings", buildings);
  buildTable(dir, "units", units);
  buildTable(dir, "icons", plain(3, 30, 30));
  load(buildGame(dir, {{"terrains", ""}, {"buildings", ""}, {"units", "0"}, {"icons", ""}}));

  auto catalogue = readCatalogue(data);
  const cMetaDatabase& db = *catalogue;
  auto images = readCatalogueImages(data);
  const cCatalogueImages& pics = *images;
  EXPECT_EQ(pics.retrieveMaxTerrains(), 10);
  EXPECT_EQ(pics.retrieveMaxObjects(), 9);
  EXPECT_EQ(pics.retrieveMaxUnits(), 2);
  EXPECT_EQ(db.retrieveMaxTerrains(), 10);
  EXPECT_EQ(db.retrieveMaxObjects(), 9);
  EXPECT_EQ(db.retrieveMaxUnits(), 2);
  for (int i = 0; i < db.retrieveMaxTerrains(); ++i) {
    ASSERT_NE(pics.retrieveTerrainImage(i), nullptr);
    EXPECT_EQ(pics.retrieveTerrainImage(i)->w, 10 + i);
    EXPECT_EQ(db.retrieveTerrainSize(i), cIsoPoint(1, 1, 0));
    EXPECT_EQ(db.retrieveTerrainSize(i).z, 0);
  }
  EXPECT_EQ(db.retrieveObjectSize(1), cIsoPoint(2, 3, 40));
  EXPECT_EQ(db.retrieveObjectSize(1).z, 40);
  EXPECT_EQ(db.retrieveObjectHitPoints(1), 800);
  EXPECT_STREQ(db.retrieveObjectDesc(1), "Barracks");
  EXPECT_STREQ(db.retrieveObjectDesc(2), "");
  EXPECT_EQ(pics.retrieveObjectImage(3)->w, 23);
  EXPECT_EQ(db.retrieveUnitSize(1).z, 20);
  EXPECT_EQ(db.retrieveUnitDamage(1), 7);
  EXPECT_EQ(db.retrieveUnitAreaEffect(1), 2);
  EXPECT_EQ(db.retrieveUnitHitPoints(1), 120);
  EXPECT_EQ(db.retrieveUnitDefence(1), 1);
  EXPECT_EQ(db.retrieveUnitRange(1), 5);
  EXPECT_EQ(db.retrieveUnitFireRate(1), 3);
  EXPECT_STREQ(db.retrieveUnitDesc(1), "Heavy Tank");
  EXPECT_EQ(pics.retrieveUnitImage(1)->w, 9);
  EXPECT_EQ(pics.retrieveObjectIcon(0), pics.retrieveObjectImage(0));
  EXPECT_EQ(pics.retrieveUnitIcon(0), pics.retrieveUnitImage(0));
  ASSERT_NE(pics.retrieveObjectIcon(3), nullptr);
  EXPECT_EQ(pics.retrieveObjectIcon(1)->w, 30);
  EXPECT_EQ(pics.retrieveObjectIcon(3)->w, 32);
  EXPECT_EQ(pics.retrieveObjectIcon(4), nullptr);
  EXPECT_EQ(pics.retrieveUnitIcon(1), pics.retrieveObjectIcon(1));
}

TEST_F(CatalogueFile, BlockRuleAndDescriptionIdentity)
{
  std::vector<Entry> units = plain(4, 8, 16);
  units[1].properties = "BLCK=0 DESC=Scout";
  units[2].properties = "BLCK=1 DESC=Scout";
  units[3].properties = "BLCK=7 DESC=Rover";
  buildTable(dir, "terrains", plain(2, 10, 5));
  buildTable(dir, "buildings", plain(2, 20, 30));
  buildTable(dir, "units", units);
  load(buildGame(dir, {{"terrains", "2"}, {"buildings", "2"}, {"units", "4"}}));

  auto catalogue = readCatalogue(data);
  const cMetaDatabase& db = *catalogue;
  ASSERT_EQ(db.retrieveMaxUnits(), 4);
  EXPECT_TRUE(db.retrieveUnitBlock(0));
  EXPECT_TRUE(db.retrieveUnitBlock(1));
  EXPECT_FALSE(db.retrieveUnitBlock(2));
  EXPECT_FALSE(db.retrieveUnitBlock(3));
  EXPECT_EQ(db.findUnit(db.retrieveUnitDesc(2)), 2);
  EXPECT_EQ(db.findUnit(db.retrieveUnitDesc(1)), 1);
  const std::string copy = db.retrieveUnitDesc(3);
  EXPECT_EQ(db.findUnit(copy.c_str()), -1);
  EXPECT_EQ(db.findUnit("Rover"), -1);
}

TEST_F(CatalogueFile, CountsBeyondTheEntriesStopAtTheLastEntry)
{
  buildTable(dir, "terrains", plain(2, 10, 5));
  buildTable(dir, "buildings", plain(3, 20, 30));
  buildTable(dir, "units", plain(3, 8, 16));
  load(buildGame(dir, {{"terrains", "5"}, {"buildings", ""}, {"units", "3"}}));

  auto catalogue = readCatalogue(data);
  const cMetaDatabase& db = *catalogue;
  auto images = readCatalogueImages(data);
  const cCatalogueImages& pics = *images;
  EXPECT_EQ(pics.retrieveMaxTerrains(), 2);
  EXPECT_EQ(pics.retrieveMaxObjects(), 3);
  EXPECT_EQ(pics.retrieveMaxUnits(), 3);
  EXPECT_EQ(db.retrieveMaxTerrains(), 2);
  EXPECT_EQ(db.retrieveMaxObjects(), 3);
  EXPECT_EQ(db.retrieveMaxUnits(), 3);
  EXPECT_EQ(pics.retrieveUnitIcon(2), nullptr);
  EXPECT_EQ(pics.retrieveObjectImage(2)->w, 22);
}

// The data file that the build made for the run folder.
std::string builtGameData()
{
  const char* build = std::getenv("KORVANE_BUILD");
  return std::string(build ? build : ".") + "/run/gamedata.dat";
}

TEST(CatalogueGameData, TheBuiltGameDataLoadsWhole)
{
  const std::string file = builtGameData();
  if (!std::ifstream(file)) GTEST_SKIP() << file << " not built yet";
  ASSERT_TRUE(setGraphicsMode(32, 1024, 768));
  DATAFILE* data = load_datafile(file.c_str());
  ASSERT_NE(data, nullptr);
  {
    auto catalogue = readCatalogue(data);
    const cMetaDatabase& db = *catalogue;
    auto pictures = readCatalogueImages(data);
    cCatalogueImages& images = *pictures;
    EXPECT_GE(db.retrieveMaxTerrains(), 10);
    EXPECT_GE(db.retrieveMaxObjects(), 10);
    EXPECT_GE(db.retrieveMaxUnits(), 2);
    for (int i = 1; i < db.retrieveMaxObjects(); ++i) {
      SCOPED_TRACE(i);
      ASSERT_NE(images.retrieveObjectImage(i), nullptr);
      EXPECT_GT(db.retrieveObjectHitPoints(i), 0);
      EXPECT_STRNE(db.retrieveObjectDesc(i), "");
      EXPECT_NE(images.retrieveObjectIcon(i), nullptr);
      EXPECT_EQ(images.retrieveObjectImage(i, 8)->w, images.retrieveObjectImage(i)->w + 2);
    }
    for (int i = 1; i < db.retrieveMaxUnits(); ++i) {
      ASSERT_NE(images.retrieveUnitImage(i), nullptr);
      EXPECT_GT(db.retrieveUnitHitPoints(i), 0);
      EXPECT_GT(db.retrieveUnitDamage(i), 0);
    }
  }
  unload_datafile(data);
}

// The building and unit toolbars show terrain pictures (entries 1 and 2 of the terrain
// table) on buttons: at 32 bits these are masked pictures without alpha, and each must
// show its tile on the panel with the panel around it.
TEST(CatalogueGameData, TerrainPicturesShowOnToolbarButtonsAtThirtyTwoBits)
{
  const std::string file = builtGameData();
  if (!std::ifstream(file)) GTEST_SKIP() << file << " not built yet";
  ASSERT_TRUE(setGraphicsMode(32, 1024, 768));
  DATAFILE* data = load_datafile(file.c_str());
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data[1].type, DAT_FILE);
  auto terrains = static_cast<DATAFILE*>(data[1].dat);
  const int size = 1024 / 6, panel = makecol(40, 50, 70);
  for (int entry : {1, 2}) {
    ASSERT_EQ(terrains[entry].type, DAT_BITMAP) << entry;
    BITMAP* page = create_bitmap(size, size);
    clear_to_color(page, panel);
    cButton item(0, cRect(0, 0, size, size), static_cast<BITMAP*>(terrains[entry].dat), "");
    item.draw(page, 0);
    int shown = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) shown += getpixel(page, x, y) != panel;
    EXPECT_GT(shown, size * size / 4) << "terrain " << entry << " shows as a tile";
    EXPECT_EQ(getpixel(page, 1, 1), panel) << "terrain " << entry << ": its mask shows the panel";
    destroy_bitmap(page);
  }
  unload_datafile(data);
}

}  // namespace
