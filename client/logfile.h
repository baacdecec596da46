#ifndef KORVANE_CLIENT_LOGFILE_H
#define KORVANE_CLIENT_LOGFILE_H
// The client's log "log.txt" in the current directory, through the stream `fp` (world/host.h).
// Lines are written with hostLog, which does nothing while the log is closed.
#include <string>

// The folder the log is written in; the player's other files (saved games) go beside it.
std::string logFolder();
// The path of the file `name` in that folder.
std::string besideLog(const char* name);

// Opens the log with fopen's mode ("w" creates it afresh, "a" appends); closes an open one first.
void open_log(const char* mode);
void close_log();

// Writes the same formatted line to the log and to standard output.
void log_and_print(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
