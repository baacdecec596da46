// makedata OUTDIR SANS SANSBOLD SERIFBOLD (paths of TrueType fonts)
// Draws the game's art with fixed seeds into OUTDIR and writes OUTDIR/assemble.sh, which
// builds tarvix.dat and gamedata.dat from it with Allegro's dat tool.
#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "art.h"
#include "datscript.h"
#include "icons.h"
#include "outputs.h"
#include "scenery.h"
#include "terrain.h"

std::string gOutDir;

namespace {
const char* const kInterfaceVersion = "0.26.16";
const char* const kGameDataVersion = "0.26.10";

struct Faces {
  Typeface sans, sansBold, serifBold;
};

void writeText(const std::string& name, const std::string& text)
{
  FILE* f = std::fopen(outputPath(name).c_str(), "w");
  if (!f || std::fputs(text.c_str(), f) < 0 || std::fclose(f) != 0) {
    std::fprintf(stderr, "makedata: cannot write %s\n", outputPath(name).c_str());
    std::exit(1);
  }
}

std::string numbered(const std::string& stem, int i, const std::string& ext)
{
  return stem + (i < 10 ? "0" : "") + std::to_string(i) + ext;
}

// Bitmaps of icons and interface pictures carry no size of ours: drop dat's grab sizes.
void dropGrabSizes(DatScript& s, const std::string& file, const std::vector<std::string>& sources)
{
  for (const std::string& src : sources) s.set(file, objectName(src), {"XSIZ=", "YSIZ="});
}

std::vector<std::string> kindProperties(const Kind& k)
{
  auto prop = [](const char* id, int v) { return std::string(id) + "=" + std::to_string(v); };
  return {prop("XSIZ", k.xsiz), prop("YSIZ", k.ysiz),         prop("ZSIZ", k.zsiz),
          prop("DAM ", k.dam),  prop("DSIZ", k.dsiz),         prop("MXHP", k.mxhp),
          prop("DEF ", k.def),  prop("RANG", k.rang),         prop("FRAT", k.frat),
          prop("BLCK", k.blck), std::string("DESC=") + k.desc};
}
}  // namespace

namespace {
void interfaceFile(DatScript& s, Faces& faces)
{
  writeText("interface.txt", "Korvane interface data\n");
  saveFontGrid("currentfont.bmp", faces.sans, 16);
  saveFontGrid("systemfont.bmp", faces.sans, 12);
  s.add("fonts.dat", "FONT", {"currentfont.bmp", "systemfont.bmp"});
  std::vector<std::string> tools;
  for (int i = 0; i < kToolbarIcons; ++i) {
    tools.push_back(numbered("tool", i, ".tga"));
    saveBitmap(tools.back(), alphaBitmap(toolbarIcon(i, faces.sansBold)));
  }
  s.add("toolbar.dat", "BMP", tools);
  dropGrabSizes(s, "toolbar.dat", tools);
  Picture panel = panelTexture();
  saveBitmap("panel.bmp", opaqueBitmap(panel));
  saveJpeg("panel.jpg", panel, 90);
  s.add("tarvix.dat", "DATA", {"interface.txt"});
  s.add("tarvix.dat", "FILE", {"fonts.dat"});
  s.add("tarvix.dat", "BMP", {"panel.bmp"});
  s.add("tarvix.dat", "FILE", {"toolbar.dat"});
  s.add("tarvix.dat", "DATA", {"panel.jpg"});
  s.set("tarvix.dat", "INTERFACE_TXT", {std::string("ID  =") + kInterfaceVersion});
  dropGrabSizes(s, "tarvix.dat", {"panel.bmp"});
  s.set("tarvix.dat", "PANEL_JPG", {"NAME=global_background1"});
}

// A nested datafile of kind pictures with their figures.
void kindTable(DatScript& s, const std::string& file, const std::string& stem,
               const std::vector<Kind>& kinds)
{
  std::vector<std::string> sources;
  for (size_t i = 0; i < kinds.size(); ++i) {
    sources.push_back(numbered(stem, static_cast<int>(i), ".bmp"));
    saveBitmap(sources.back(), maskedBitmap(kindPicture(kinds[i], kTileK, 4), true));
  }
  s.add(file, "BMP", sources);
  for (size_t i = 0; i < kinds.size(); ++i)
    s.set(file, objectName(sources[i]), kindProperties(kinds[i]));
}
}  // namespace

namespace {
void terrainTable(DatScript& s)
{
  std::vector<std::string> sources;
  for (int i = 0; i < terrainCount(); ++i) {
    sources.push_back(numbered("terrain", i, ".bmp"));
    saveBitmap(sources.back(), maskedBitmap(terrainTile(i), false));
  }
  s.add("terrain.dat", "BMP", sources);
  for (const std::string& src : sources)
    s.set("terrain.dat", objectName(src), {"XSIZ=1", "YSIZ=1"});
}

int buildIcons(DatScript& s, Typeface& captionFace)
{
  const std::vector<Kind>& b = buildingKinds();
  int count = static_cast<int>(std::max(b.size(), unitKinds().size())) - 1;
  std::vector<std::string> sources;
  for (int i = 0; i < count; ++i) {
    sources.push_back(numbered("icon", i, ".tga"));
    saveBitmap(sources.back(),
               alphaBitmap(buildIcon(b[std::min<size_t>(i + 1, b.size() - 1)], captionFace)));
  }
  s.add("icons.dat", "BMP", sources);
  dropGrabSizes(s, "icons.dat", sources);
  return count;
}

void gameDataFile(DatScript& s, Faces& faces)
{
  writeText("gamedata.txt", "Korvane game data\n");
  terrainTable(s);
  kindTable(s, "buildings.dat", "building", buildingKinds());
  kindTable(s, "units.dat", "unit", unitKinds());
  int icons = buildIcons(s, faces.sansBold);
  s.add("gamedata.dat", "DATA", {"gamedata.txt"});
  s.add("gamedata.dat", "FILE", {"terrain.dat", "buildings.dat", "units.dat", "icons.dat"});
  s.set("gamedata.dat", "GAMEDATA_TXT", {std::string("ID  =") + kGameDataVersion});
  s.set("gamedata.dat", "TERRAIN_DAT", {"NUMD=" + std::to_string(terrainCount())});
  s.set("gamedata.dat", "BUILDINGS_DAT", {"NUMD=" + std::to_string(buildingKinds().size())});
  s.set("gamedata.dat", "UNITS_DAT", {"NUMD=" + std::to_string(unitKinds().size())});
  s.set("gamedata.dat", "ICONS_DAT", {"NUMD=" + std::to_string(icons)});
}

void looseFiles(DatScript& s, Faces& faces)
{
  saveJpeg("background.jpg", menuBackground(), 90);
  saveBitmap("title1.png", alphaBitmap(titleLogo(faces.serifBold)));
  saveBitmap("return.png", alphaBitmap(returnIcon(faces.sansBold)));
  s.line("cp tarvix.dat gamedata.dat background.jpg title1.png return.png \"$run\"/");
}

// The desktop icon in the sizes of the hicolor theme, as icon-SIZE.png.
void desktopIcons()
{
  for (int size : kDesktopIconSizes)
    saveBitmap("icon-" + std::to_string(size) + ".png", alphaBitmap(gameIcon(size)));
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 5) {
    std::fprintf(stderr, "usage: makedata OUTDIR SANS SANSBOLD SERIFBOLD\n");
    return 2;
  }
  gOutDir = argv[1];
  install_allegro(SYSTEM_NONE, &errno, atexit);
  Faces faces{Typeface(argv[2]), Typeface(argv[3]), Typeface(argv[4])};
  DatScript script;
  interfaceFile(script, faces);
  gameDataFile(script, faces);
  looseFiles(script, faces);
  desktopIcons();
  script.write(outputPath("assemble.sh"));
  return 0;
}
END_OF_MAIN()
