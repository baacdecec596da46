#ifndef KORVANE_CLIENT_STARTUP_H
#define KORVANE_CLIENT_STARTUP_H
// The steps of the client's start-up: graphics options and mode, the data files and the
// notices on the loading screen.
class cClientContext;
class cClientLog;
struct cScreenMode;
struct DATAFILE;

// Where a missing or outdated data file can be fetched from; shown in the notices.
extern const char* downloadAddress;

// Shows a fatal notice (message, download address, "Press any key to quit.") in Allegro's
// own font, since the data files may be missing, and waits for a key.
void report_load_error(const char* message);
// Shows a notice in the context's systemfont with "Press any key to continue." and waits
// for a key.
void report_nonfatal_error(const cClientContext& context, const char* message);

// Writes the computer-information block to the log.
void log_cpu_info();

// Settles the context's screen mode (myColourDepth, myWidth, myHeight, myGraphicsDriver) from
// the command line (when readSettings is false), from "screeninfo.inf" or from the chooser,
// and logs it. Ends the process with code 2 when the player quits the chooser. Needs the log
// open.
void getGraphicsSpecs(cClientContext& context, bool readSettings, bool forceSetup);

// Sets the graphics mode, falling back to 640 x 480 in the depths of color_depths. Returns
// the process exit code when the program must end (2: an 8-bit mode, 1: no mode), else 0.
int open_graphics_mode(cScreenMode& mode);

// Logs and prints that a data file is being loaded.
void announce_datafile(cClientLog& log, const char* name);
// Loads `name` from the executable's directory and checks the first 7 characters of object
// 0's "ID  " property against `version`. Null after the player saw and dismissed the notice
// (missing file or wrong version); ends the process with code 1 if the file cannot be read.
DATAFILE* load_checked_datafile(const char* argv0, const char* name, const char* version);

// Shows at most one notice about a missing optional file (times.ttf, then background.jpg),
// or "Starting Game..." when both are there.
void check_optional_files(const cClientContext& context);

#endif
