#include <allegro.h>
#include <loadpng.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "client/cgameengine.h"
#include "client/context.h"
#include "client/ending.h"
#include "client/globals.h"
#include "client/loadingscreen.h"
#include "client/paths.h"
#include "client/startup.h"
#include "gui/mouse.h"
#include "world/host.h"

namespace {

struct CommandLine {
  bool readSettings = true;
  bool forceSetup = false;
  const char* loadFile = nullptr;  // --load FILE: a local game on that saved game first
};

// Takes "--load FILE" out of the arguments, wherever it stands; the rest keep their order.
const char* take_load_option(int& argc, char** argv)
{
  for (int i = 1; i + 1 < argc; ++i) {
    if (strcmp(argv[i], "--load") != 0) continue;
    const char* file = argv[i + 1];
    for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
    argc -= 2;
    return file;
  }
  return nullptr;
}

CommandLine parse_command_line(int argc, char** argv, cClientContext& context)
{
  printf("Korvane: isometric real-time strategy for Linux\n");
  printf("%s Version %s, compiled: %s\n\n", korvaneName, isoVersion, compileDate);
  printf("usage: korvane BPP XX YY\n");
  printf("OR: korvane -setup [to reinit the settings file]\n\n");
  CommandLine options;
  options.loadFile = take_load_option(argc, argv);
  cScreenMode& mode = context.screenMode;
  context.log.debug_log_on = false;
  if (argc == 2 && strcmp(argv[1], "-setup") == 0) options.forceSetup = true;
  if (argc == 2 && strcmp(argv[1], "-log") == 0) context.log.debug_log_on = true;
  if (argc >= 4) {
    mode.myColourDepth = atoi(argv[1]);
    mode.myWidth = atoi(argv[2]);
    mode.myHeight = atoi(argv[3]);
    options.readSettings = false;
  }
  return options;
}

// False when Allegro cannot start (no X display): the input drivers would crash without it.
bool start_allegro(cClientContext& context)
{
  context.log.open("w");
  hostLog("Starting Veldane Session: %s %s\ncompiled %s\n", korvaneName, isoVersion, compileDate);
  const time_t now = time(nullptr);
  hostLog("Start time: %s\n", ctime(&now));
  context.screenMode.myGraphicsDriver = 2;
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
    printf("Error initialising Allegro\n%s\n", allegro_error);
    return false;
  }
  log_cpu_info();
  install_timer();
  install_mouse();
  install_keyboard();
  return true;
}

// Returns the exit code when the program must end, else 0.
int start_graphics(const CommandLine& options, cClientContext& context)
{
  getGraphicsSpecs(context, options.readSettings, options.forceSetup);
  set_color_depth(context.screenMode.myColourDepth);
  set_color_conversion(0xEEEEF);
  register_png_file_type();
  context.log.print("Initilizing Graphics...\n");  // the system's own wording, kept on purpose
  context.log.close();
  const int failure = open_graphics_mode(context.screenMode);
  if (failure) return failure;
  context.log.open("a");
  hostLog("Initilized Graphics.\n");
  context.log.close();
  set_window_title("Tarvix DNM [Loading]");
  return 0;
}

// Returns false when a data file is missing or outdated (the player has been told).
bool load_datafiles(const char* argv0, cClientContext& context)
{
  announce_datafile(context.log, "tarvix.dat");
  draw_percent(0, 25);
  context.datafile = load_checked_datafile(argv0, "tarvix.dat", "0.26.16");
  if (!context.datafile) return false;
  draw_percent(25, 50);
  announce_datafile(context.log, "gamedata.dat");
  context.metaData = load_checked_datafile(argv0, "gamedata.dat", "0.26.10");
  if (!context.metaData) return false;
  draw_percent(50, 75);
  context.takeFonts();
  return true;
}

cGameEngine* create_engine(cClientContext& context)
{
  context.log.open("a");
  hostLog("Creating and clearing blankBitmap.\n");
  context.blankBitmap = create_bitmap(29, 29);
  clear_to_color(context.blankBitmap, makecol(90, 90, 90));
  context.log.close();
  context.log.open("a");
  hostLog("Initilsing Game Class.\n");
  context.log.close();
  context.log.open("a");
  draw_percent(75, 85);
  cGameEngine* engine = new cGameEngine(context);
  hostLog("Starting Game Class.\n");
  context.log.close();
  context.log.open("a");
  return engine;
}

void shut_down(cGameEngine* engine, cClientContext& context)
{
  hostLog("Closing Veldane Session...\n");
  context.log.close();
  unload_datafile(context.datafile);
  unload_datafile(context.metaData);
  destroy_bitmap(context.blankBitmap);
  context.log.open("a");
  hostLog("The End.\n");
  context.log.close();
  delete engine;
}

}  // namespace

int main(int argc, char** argv)
{
  cClientContext context;
  const CommandLine options = parse_command_line(argc, argv, context);
  if (!settleClientFolders()) return 1;
  if (!start_allegro(context)) return 1;
  const int failure = start_graphics(options, context);
  if (failure) return failure;
  watchForEnding(context.log);
  draw_loading_screen();
  if (!load_datafiles(argv[0], context)) return 1;
  check_optional_files(context);
  cGameEngine* engine = create_engine(context);
  draw_percent(85, 100);
  show_mouse(screen);
  set_window_title("Tarvix DNM");
  hideMouse();
  if (options.loadFile) engine->playSavedGame(options.loadFile);
  engine->start();
  shut_down(engine, context);
  return 0;
}
END_OF_MAIN()
