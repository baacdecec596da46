#ifndef KORVANE_WORLD_HOST_H
#define KORVANE_WORLD_HOST_H
// The one seam through which the world code reaches the program that hosts it.
// The client points these at its log and its graphics mode; the server leaves them unset.
#include <cstdio>
#include <string>

extern FILE* fp;           // the client's log stream on "log.txt"; null when closed
extern bool debug_log_on;  // extra diagnostic log lines (client option -log)

// Width in pixels of the current screen mode; 0 when there is none (always 0 in the server).
int hostScreenWidth();
// The client installs a function that answers SCREEN_W; null restores "no graphics mode".
void setHostScreenWidth(int (*widthSource)());

// Path of a file shipped with the game ("times.ttf", "tarvix.dat#name"): the name itself, in
// the current folder, unless the client set a data folder (installed, it is not the current one).
std::string hostDataFile(const char* name);
// "" restores the current folder; otherwise a folder path without a trailing slash.
void setHostDataFolder(const std::string& folder);

// Writes a formatted line to the log when one is open; does nothing otherwise.
void hostLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
