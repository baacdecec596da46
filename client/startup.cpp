#include "client/startup.h"

#include <allegro.h>
#include <cstdlib>
#include <cstring>
#include <string>

#include "client/context.h"
#include "client/globals.h"
#include "client/loadingscreen.h"
#include "client/paths.h"
#include "client/screeninfo.h"
#include "client/screenmode.h"
#include "gui/framepacer.h"
#include "world/host.h"

const char* downloadAddress = "https://korvane.example.org/download";

namespace {

// Paced like every other loop, so that a stop signal is also heard here.
void wait_for_key()
{
  cFramePacer pacer(60);
  while (!keypressed()) pacer.wait();
  readkey();
}

const char* os_type_name(int type)
{
  switch (type) {
    case OSTYPE_WIN3: return "Windows 3.1 or earlier\n";
    case OSTYPE_WIN95: return "Windows 95\n";
    case OSTYPE_WIN98: return "Windows 98\n";
    case OSTYPE_WINME: return "Windows ME\n";
    case OSTYPE_WINNT: return "Windows NT\n";
    case OSTYPE_WIN2000: return "Windows 2000\n";
    case OSTYPE_OS2: return "OS/2\n";
    case OSTYPE_WARP: return "OS/2 Warp 3\n";
    case OSTYPE_DOSEMU: return "Linux DOSEMU\n";
    case OSTYPE_OPENDOS: return "Caldera OpenDOS\n";
    case OSTYPE_LINUX: return "Linux\n";
    case OSTYPE_FREEBSD: return "FreeBSD\n";
    case OSTYPE_UNIX: return "Unknown UNIX variant\n";
    case OSTYPE_BEOS: return "BeOS\n";
    case OSTYPE_QNX: return "QNS\n";
    case OSTYPE_MACOS: return "MacOS\n";
    default: return "Unknown OS\n";
  }
}

void read_screen_info(cScreenMode& mode)
{
  hostLog("Reading options from screeninfo.inf.\n");
  readScreenInfo(mode);
}

void run_chooser(cClientContext& context)
{
  context.log.print("Getting user options...\n");
  if (!chooseScreenMode(context.screenMode)) return;
  allegro_exit();
  hostLog("Quit selected from Screen Mode Selection screen\n");
  context.log.close();
  exit(2);
}

bool try_fallback_modes(cScreenMode& mode)
{
  for (int i = 0; color_depths[i] != 0; i++) {
    mode.myColourDepth = color_depths[i];
    set_color_depth(mode.myColourDepth);
    if (set_gfx_mode(GFX_AUTODETECT, 640, 480, 0, 0) == 0) return true;
  }
  return false;
}

}  // namespace

void report_load_error(const char* message)
{
  const int x = SCREEN_W / 2 + 1;
  const int y = 3 * SCREEN_H / 4;
  const int white = makecol(255, 255, 255);
  const std::string download = std::string("( download from ") + downloadAddress + " )";
  textout_centre_ex(screen, font, message, x, y, white, -1);
  textout_centre_ex(screen, font, download.c_str(), x, y + 15, white, -1);
  textout_centre_ex(screen, font, "Press any key to quit.", x, y + 30, white, -1);
  wait_for_key();
}

void report_nonfatal_error(const cClientContext& context, const char* message)
{
  const int x = SCREEN_W / 2 + 1;
  const int y = 3 * SCREEN_H / 4;
  const int white = makecol(255, 255, 255);
  textout_centre_ex(screen, context.systemfont, message, x, y, white, -1);
  textout_centre_ex(screen, context.systemfont, "Press any key to continue.", x, y + 30, white, -1);
  wait_for_key();
}

void log_cpu_info()
{
  check_cpu();
  hostLog("\n\nComputer Information:\n");
  hostLog("cpu_id: %i\n", cpu_capabilities & CPU_ID);
  hostLog("cpu_family: %i\n", cpu_family);
  hostLog("cpu_fpu: %i\n", cpu_capabilities & CPU_FPU);
  hostLog("cpu_mmx: %i\n", cpu_capabilities & CPU_MMX);
  hostLog("cpu_model: %i\n", cpu_model);
  hostLog("cpu_vendor: %s\n\n", cpu_vendor);
  hostLog("os_type: %s", os_type_name(os_type));
  hostLog("os_version: %i.%i\n", os_version, os_revision);
  hostLog(os_multitasking ? "Multitasking operating system\n"
                          : "Non-multitasking operating system\n");
  hostLog("\n end of computer information\n\n");
}

void getGraphicsSpecs(cClientContext& context, bool readSettings, bool forceSetup)
{
  cScreenMode& mode = context.screenMode;
  hostLog("Initial Options [?%i]:\n", readSettings ? 1 : 0);
  hostLog("Colour Depth: %i\n", mode.myColourDepth);
  hostLog("Screen Resolution: %ix%i\n", mode.myWidth, mode.myHeight);
  if (!readSettings) {
    context.log.print("Options have been preset.\n");
  } else if (!forceSetup && exists(screenInfoFile)) {
    read_screen_info(mode);
  } else {
    run_chooser(context);
  }
  hostLog("\nFinal Options:\nColour depth: %i\n", mode.myColourDepth);
  hostLog("Screen resolution: %ix%i\n", mode.myWidth, mode.myHeight);
  hostLog("Graphics driver: %i\n", mode.myGraphicsDriver);
  printf("\nFinal Options:\nColour depth: %i\n", mode.myColourDepth);
  printf("Screen resolution: %i x %i\n", mode.myWidth, mode.myHeight);
  printf("\nGraphics driver: %i\n", mode.myGraphicsDriver);
}

int open_graphics_mode(cScreenMode& mode)
{
  if (mode.myColourDepth == 8) {
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Sorry, DNM does not support 8-bit modes.\n");
    return 2;
  }
  // X ends the process on a window of size 0, so such a request counts as a failed mode.
  const bool sizeValid = mode.myWidth > 0 && mode.myHeight > 0;
  if ((!sizeValid || set_gfx_mode(mode.myGraphicsDriver, mode.myWidth, mode.myHeight, 0, 0) != 0) &&
      !try_fallback_modes(mode)) {
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Error setting %d bit graphics mode\n%s\n", mode.myColourDepth, allegro_error);
    return 1;
  }
  return 0;
}

void announce_datafile(cClientLog& log, const char* name)
{
  log.open("a");
  hostLog("Loading '%s'\n", name);
  printf("Loading Datafile '%s'...\n", name);
  log.close();
}

DATAFILE* load_checked_datafile(const char* argv0, const char* name, const char* version)
{
  const std::string path = datafilePath(argv0, name);
  if (!exists(path.c_str())) {
    const std::string note =
        std::string("Note: ") + name +
        " not found. This file should be in the same directory as this executable.";
    report_load_error(note.c_str());
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("No %s found!\nGet it from %s\n\n", name, downloadAddress);
    return nullptr;
  }
  DATAFILE* data = load_datafile(path.c_str());
  if (!data) {
    allegro_exit();
    printf("Error loading %s!\n\n", name);
    exit(1);
  }
  if (strncmp(get_datafile_property(data, DAT_ID('I', 'D', ' ', ' ')), version, 7) != 0) {
    const std::string note = std::string("Note: ") + name + " is of the wrong version.";
    report_load_error(note.c_str());
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("Wrong version of %s found!\nGet it from %s\n\n", name, downloadAddress);
    return nullptr;
  }
  return data;
}

void check_optional_files(const cClientContext& context)
{
  if (!exists(hostDataFile("times.ttf").c_str())) {
    report_nonfatal_error(context, "Note: to enhance your viewing pleasure, please get times.ttf.");
  } else if (!exists(hostDataFile("background.jpg").c_str())) {
    report_nonfatal_error(
        context, "Note: the title screen requires a background.pcx/png file to run correctly.");
  } else {
    textout_centre_shadow(screen, context.systemfont, "Starting Game...", SCREEN_W / 2,
                          3 * SCREEN_H / 4);
  }
}
