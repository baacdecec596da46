// Times the game screen's redraws of the built-in map (with a selection and a build preview)
// at 1024 x 768 x 32 into a memory bitmap, at zooms 1, 5, 11 and 20, against a lower bound for
// the map redraw: the same pictures drawn once each with the same calls into a buffer of the
// view's size, plus the same clear and copies, without walking the map. Needs a display
// (run it under Xvfb) and gamedata.dat.
// Usage: render [-n redraws per case] [-data gamedata.dat] [-shots folder]
#include <allegro.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/guicollection.h"
#include "gui/toolbar.h"
#include "render/catalogueimages.h"
#include "render/isoscreen.h"
#include "render/isoviewrect.h"
#include "render/minimap.h"
#include "render/screenshot.h"
#include "sim/builtinmap.h"
#include "world/host.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Options {
  int n = 101;
  std::string data;
  std::string shots;  // empty: no screenshots
};

int usage()
{
  std::fprintf(stderr,
               "usage: render [-n redraws per case] [-data gamedata.dat] [-shots folder]\n");
  return 2;
}

std::string besideProgram(const char* relative)
{
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, size_t(n)) : std::string(".");
  dir = dir.substr(0, dir.find_last_of('/'));
  return dir + "/" + relative;
}

bool parse(int argc, char** argv, Options& o)
{
  o.data = besideProgram("../run/gamedata.dat");
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    if (arg == "-n")
      o.n = std::atoi(argv[++i]);
    else if (arg == "-data")
      o.data = argv[++i];
    else if (arg == "-shots")
      o.shots = argv[++i];
    else
      return false;
  }
  return o.n > 0;
}

double median(std::vector<double>& us)
{
  std::sort(us.begin(), us.end());
  return us[us.size() / 2];
}

template <class F>
double micros(F&& run)
{
  const auto t0 = Clock::now();
  run();
  return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

template <class F>
double medianMicros(int n, F&& run)
{
  std::vector<double> us;
  for (int k = 0; k < n; ++k) us.push_back(micros(run));
  return median(us);
}

// Medians of two runs taken in turns, so that both see the same load on a shared machine.
template <class F, class G>
std::pair<double, double> medianPair(int n, F&& first, G&& second)
{
  std::vector<double> a, b;
  for (int k = 0; k < n; ++k) {
    a.push_back(micros(first));
    b.push_back(micros(second));
  }
  return {median(a), median(b)};
}

// The game's screen: the layout of the engine, the built-in map with two buildings and a unit
// selected and a building about to be placed on free ground, all near tile (10, 9).
struct Game {
  cRect screenRect{0, 0, 1024, 768};
  cRect viewArea{0, 15, 1024, 768 - 1024 / 6 - 5};
  cIsoViewRect view{cPoint(100, 100)};
  cGUICollection gui{cRect(0, 0, 1024, 768)};
  cToolbar toolbars[4];
  BITMAP* scratch = create_bitmap(1024, 768);
  BITMAP* messages = create_bitmap(1024, (768 - 1024 / 6 - 5 - 15) / 8);
  BITMAP* texture = create_bitmap(64, 64);
  cIsoScreen parts;

  Game()
  {
    clear_bitmap(scratch);
    clear_bitmap(messages);
    textout_ex(messages, font, "Welcome to Tarvix Dunmarch.", 4, 4, makecol(255, 255, 255), -1);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) putpixel(texture, x, y, makecol(70 + (x ^ y) % 24, 80, 96));
    view.setBounds(viewArea);
    cIsoView& map = view.getView();
    loadBuiltinMap(map, 1);
    for (cPoint at : {cPoint(6, 6), cPoint(10, 5), cPoint(14, 15)})
      if (cBaseObject* o = map.getObjectAt(at)) map.addSelection(o);
    map.setToBuild(cPoint(11, 9), 1);
    const int panelHeight = screenRect.bottom() - viewArea.bottom();
    auto* minimap = new cMinimap(cPoint(1024 - 5 - panelHeight, viewArea.bottom() + 2),
                                 cPoint(1019, 766), map.getLayer(LAYER_OBJECTS),
                                 map.getLayer(LAYER_UNITS), map.getLayer(LAYER_TERRAIN));
    gui.addElement(minimap);
    for (cToolbar& bar : toolbars) gui.addElement(false, &bar);
    parts =
        cIsoScreen{scratch,  screenRect, viewArea,         &view, &gui,    toolbars, 1,  minimap,
                   cMouse(), 1,          cIsoPoint(11, 9), 0,     texture, messages, 12, "0.26.21"};
  }
  ~Game()
  {
    for (BITMAP* b : {scratch, messages, texture}) destroy_bitmap(b);
  }

  // Tile (10, 9) at the view's centre, as a minimap click would put it.
  void look(int zoom)
  {
    view.setZoom(zoom);
    view.checkScroll();
    view.reCenter(-cIsoPoint(10, 9).convertTo2DScaled(cPoint(0, -(SCREEN_H / 2)), zoom));
    view.checkScroll();
  }
};

// The map redraw's pictures, drawn once each with the same calls, plus its clear and copies.
void drawBound(Game& g, BITMAP* buffer, const std::vector<cDrawCall>& calls, BITMAP* destination)
{
  clear_to_color(buffer, 0);
  for (const cDrawCall& c : calls) {
    if (c.kind == cDrawCall::MASKED)
      draw_sprite(buffer, c.image, c.at.x, c.at.y);
    else if (c.kind == cDrawCall::LIT) {
      set_trans_blender(c.r, c.g, c.b, c.a);
      draw_lit_sprite(buffer, c.image, c.at.x, c.at.y, 128);
    } else {
      g.view.getView().drawMeSelectBorder(buffer, c.at, c.size, c.object, c.colour);
    }
  }
  const cRect& v = g.viewArea;
  blit(buffer, g.scratch, 0, 0, v.left(), v.top(), v.myWidth(), v.myHeight());
  drawMessageOverlay(g.parts);
  blit(g.scratch, destination, v.left(), v.top(), v.left(), v.top(), v.myWidth(), v.myHeight());
}

void runZoom(Game& g, int zoom, const Options& o, BITMAP* destination)
{
  g.look(zoom);
  std::vector<cDrawCall> calls;
  g.view.getView().setDrawLog(&calls);
  drawIsoScreen(REDRAW_MAP, g.parts, destination);
  g.view.getView().setDrawLog(nullptr);
  BITMAP* buffer = create_bitmap(g.viewArea.myWidth(), g.viewArea.myHeight());
  const auto [map, bound] = medianPair(
      o.n, [&] { drawIsoScreen(REDRAW_MAP, g.parts, destination); },
      [&] { drawBound(g, buffer, calls, destination); });
  const double minimap =
      medianMicros(o.n, [&] { drawIsoScreen(REDRAW_WIDGETS, g.parts, destination); });
  const double overlay = medianMicros(o.n, [&] { drawMessageOverlay(g.parts); });
  const double status =
      medianMicros(o.n, [&] { drawIsoScreen(REDRAW_STATUS, g.parts, destination); });
  const double idle = medianMicros(o.n, [&] { drawIsoScreen(0, g.parts, destination); });
  destroy_bitmap(buffer);
  std::printf("%4d %7zu %9.1f %9.1f %6.2f %9.1f %9.1f %9.1f %7.2f %8.2f\n", zoom, calls.size(), map,
              bound, map / bound, minimap, overlay, status, idle, status / map);
  if (!o.shots.empty()) {
    drawIsoScreen(31, g.parts, destination);
    const std::string file = o.shots + "/render-zoom" + std::to_string(zoom) + ".png";
    if (!save_screenshot(file.c_str(), destination))
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
  }
}

// The tile arithmetic reads the open graphics mode's width.
class cScreenHost : public cHost {
public:
  int screenWidth() const override { return SCREEN_W; }
};

}  // namespace

int main(int argc, char** argv)
{
  Options o;
  if (!parse(argc, argv, o)) return usage();
  if (allegro_init() != 0) return 1;
  set_color_depth(32);
  if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 1024, 768, 0, 0) != 0) {
    std::fprintf(stderr, "render: no 1024 x 768 x 32 graphics mode (%s)\n", allegro_error);
    return 1;
  }
  cScreenHost host;
  setHost(&host);
  DATAFILE* data = load_datafile(o.data.c_str());
  if (!data) {
    std::fprintf(stderr, "render: cannot read %s\n", o.data.c_str());
    return 1;
  }
  std::unique_ptr<cMetaDatabase> catalogue = readCatalogue(data);
  useCatalogue(catalogue.get());
  auto images = readCatalogueImages(data);
  useCatalogueImages(images.get());
  BITMAP* destination = create_bitmap(1024, 768);
  {
    Game game;
    std::printf("median of %d redraws per case (microseconds), 1024 x 768 x 32, built-in map\n",
                o.n);
    std::printf("%4s %7s %9s %9s %6s %9s %9s %9s %7s %8s\n", "zoom", "sprites", "map(16)", "bound",
                "ratio", "minimap", "overlay", "status", "none", "stat/map");
    for (int zoom : {1, 5, 11, 20}) runZoom(game, zoom, o, destination);
  }
  destroy_bitmap(destination);
  useCatalogueImages(nullptr);
  images.reset();
  useCatalogue(nullptr);
  catalogue.reset();
  setHost(nullptr);
  unload_datafile(data);
  return 0;
}
