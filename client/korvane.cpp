#include <allegro.h>
#include <loadpng.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "client/cgameengine.h"
#include "client/globals.h"
#include "client/loadingscreen.h"
#include "client/logfile.h"
#include "client/paths.h"
#include "client/startup.h"
#include "gui/mouse.h"
#include "world/host.h"

namespace {

struct CommandLine {
  bool readSettings = true;
  bool forceSetup = false;
};

CommandLine parse_command_line(int argc, char** argv)
{
  printf("Korvane: isometric real-time strategy for Linux\n");
  printf("%s Version %s, compiled: %s\n\n", korvaneName, isoVersion, compileDate);
  printf("usage: korvane BPP XX YY\n");
  printf("OR: korvane -setup [to reinit the settings file]\n\n");
  CommandLine options;
  debug_log_on = false;
  if (argc == 2 && strcmp(argv[1], "-setup") == 0) options.forceSetup = true;
  if (argc == 2 && strcmp(argv[1], "-log") == 0) debug_log_on = true;
  if (argc >= 4) {
    myColourDepth = atoi(argv[1]);
    myWidth = atoi(argv[2]);
    myHeight = atoi(argv[3]);
    options.readSettings = false;
  }
  return options;
}

int screen_width() { return SCREEN_W; }

// False when Allegro cannot start (no X display): the input drivers would crash without it.
bool start_allegro()
{
  open_log("w");
  hostLog("Starting Veldane Session: %s %s\ncompiled %s\n", korvaneName, isoVersion, compileDate);
  const time_t now = time(nullptr);
  hostLog("Start time: %s\n", ctime(&now));
  myGraphicsDriver = 2;
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
    printf("Error initialising Allegro\n%s\n", allegro_error);
    return false;
  }
  setHostScreenWidth(screen_width);
  log_cpu_info();
  install_timer();
  install_mouse();
  install_keyboard();
  return true;
}

// Returns the exit code when the program must end, else 0.
int start_graphics(const CommandLine& options)
{
  getGraphicsSpecs(options.readSettings, options.forceSetup);
  set_color_depth(myColourDepth);
  set_color_conversion(0xEEEEF);
  register_png_file_type();
  log_and_print("Initilizing Graphics...\n");  // the system's own wording, kept on purpose
  close_log();
  const int failure = open_graphics_mode();
  if (failure) return failure;
  open_log("a");
  hostLog("Initilized Graphics.\n");
  close_log();
  set_window_title("Tarvix DNM [Loading]");
  return 0;
}

// Returns false when a data file is missing or outdated (the player has been told).
bool load_datafiles(const char* argv0)
{
  announce_datafile("tarvix.dat");
  draw_percent(0, 25);
  datafile = load_checked_datafile(argv0, "tarvix.dat", "0.26.16");
  if (!datafile) return false;
  draw_percent(25, 50);
  announce_datafile("gamedata.dat");
  metaData = load_checked_datafile(argv0, "gamedata.dat", "0.26.10");
  if (!metaData) return false;
  draw_percent(50, 75);
  take_fonts();
  return true;
}

cGameEngine* create_engine()
{
  open_log("a");
  hostLog("Creating and clearing blankBitmap.\n");
  blankBitmap = create_bitmap(29, 29);
  clear_to_color(blankBitmap, makecol(90, 90, 90));
  close_log();
  open_log("a");
  hostLog("Initilsing Game Class.\n");
  close_log();
  open_log("a");
  draw_percent(75, 85);
  cGameEngine* engine = new cGameEngine();
  hostLog("Starting Game Class.\n");
  close_log();
  open_log("a");
  return engine;
}

void shut_down(cGameEngine* engine)
{
  hostLog("Closing Veldane Session...\n");
  close_log();
  unload_datafile(datafile);
  unload_datafile(metaData);
  destroy_bitmap(blankBitmap);
  open_log("a");
  hostLog("The End.\n");
  close_log();
  delete engine;
}

}  // namespace

int main(int argc, char** argv)
{
  const CommandLine options = parse_command_line(argc, argv);
  if (!settleClientFolders()) return 1;
  if (!start_allegro()) return 1;
  const int failure = start_graphics(options);
  if (failure) return failure;
  draw_loading_screen();
  if (!load_datafiles(argv[0])) return 1;
  check_optional_files();
  cGameEngine* engine = create_engine();
  draw_percent(85, 100);
  show_mouse(screen);
  set_window_title("Tarvix DNM");
  hideMouse();
  engine->start();
  shut_down(engine);
  return 0;
}
END_OF_MAIN()
