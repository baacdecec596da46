// gameloop [SECONDS]: the game's pace on this machine, measured on the client's own main
// loop with the real clock. Opens a 640 x 480 window at 16 bits, starts a local game on the
// built-in map (data files from the build's run folder, log in a temporary folder), then
//  - orders the unit at (15, 15) to (35, 15), 20 cells away, and times its walk;
//  - lets the game run untouched for SECONDS (default 30) and counts its turns, per second
//    and over the whole time, with the processor time the idle game took.
// Needs a display (tests/with-xvfb).
#include <allegro.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/game.h"
#include "client/pacing.h"
#include "gui/fonts.h"
#include "net/player.h"
#include "render/isoview.h"
#include "support/benchsupport.h"
#include "world/host.h"

namespace {
double secondsNow() { return steadyClock().now() / 1e6; }

bool startGraphics(cClientContext& context)
{
  if (allegro_init() != 0) return false;
  set_color_depth(16);
  if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) return false;
  install_timer();
  install_keyboard();
  install_mouse();
  const std::string run = KORVANE_RUN_FOLDER "/";
  context.datafile = load_datafile((run + "tarvix.dat").c_str());
  context.metaData = load_datafile((run + "gamedata.dat").c_str());
  if (!context.datafile || !context.metaData) return false;
  context.takeFonts();
  return true;
}

// Seconds and turns until the unit on `from` stands on `to` (at most 10 s).
void timeTheWalk(cGame& game, cPoint from, cPoint to)
{
  cIsoView& map = game.map();
  cBaseObject* unit = map.getObjectAt(from);
  if (!unit || unit->myObjectType() == 0) {
    printf("no unit on (%i, %i)\n", from.x, from.y);
    return;
  }
  map.clearSelection();
  map.addSelection(unit);
  map.moveSelection(&game.myPlayer(), to);
  const double start = secondsNow();
  const int64_t turns = game.myTicks();
  while (unit->myPosition() != to && secondsNow() - start < 10) game.runPass();
  const long long walked = game.myTicks() - turns;
  printf("%-28s %10.3f s %8lli turns %s\n", "walk of 20 cells", secondsNow() - start, walked,
         unit->myPosition() == to ? "" : "(not arrived)");
}

// Turns counted in each whole second of an untouched game, and the processor time taken.
void countTurns(cGame& game, int seconds)
{
  std::vector<int64_t> perSecond;
  const double start = secondsNow();
  const double cpuStart = processorSeconds();
  const int64_t first = game.myTicks();
  int64_t mark = first;
  while (secondsNow() - start < seconds) {
    game.runPass();
    if (secondsNow() - start >= perSecond.size() + 1.0) {
      perSecond.push_back(game.myTicks() - mark);
      mark = game.myTicks();
    }
  }
  const double wall = secondsNow() - start;
  const double cpu = processorSeconds() - cpuStart;
  const auto [low, high] = std::minmax_element(perSecond.begin(), perSecond.end());
  const double rate = (game.myTicks() - first) / wall;
  printf("%-28s %10.3f /s over %.1f s (per second %lli..%lli)\n", "turns", rate, wall,
         static_cast<long long>(*low), static_cast<long long>(*high));
  printf("%-28s %10.2f %% of a core\n", "idle game processor time", 100.0 * cpu / wall);
}
}  // namespace

int main(int argc, char** argv)
{
  const int seconds = argc > 1 ? atoi(argv[1]) : 30;
  if (argc > 2 || seconds <= 0) {
    fprintf(stderr, "usage: gameloop [SECONDS]\n");
    return 2;
  }
  char folder[] = "/tmp/gameloop.XXXXXX";
  if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
  cClientContext context;
  if (!startGraphics(context)) {
    fprintf(stderr, "no graphics mode or data files: %s\n", allegro_error);
    return 1;
  }
  context.log.open("w");
  {
    cGameEngine engine(context);
    std::unique_ptr<cGame> game = engine.beginGame(new cPlayer());
    printf("\n");  // after the game's "%" trace
    timeTheWalk(*game, cPoint(15, 15), cPoint(35, 15));
    countTurns(*game, seconds);
  }
  context.log.close();
  unload_datafile(context.datafile);
  unload_datafile(context.metaData);
  unlink("log.txt");
  chdir("/");
  rmdir(folder);
  return 0;
}
END_OF_MAIN()
