#ifndef KORVANE_WORLD_HOST_H
#define KORVANE_WORLD_HOST_H
// The one seam through which the world code, and the widgets and drawing built on it, reach
// the program that hosts them: the width of its screen and its log. The client installs its
// log as the host; without a host (the server) the width reads 0 and nothing is logged.
// Single-threaded: only the client's thread installs, reads and logs.
#include <string>

class cHost {
public:
  virtual ~cHost() = default;
  // Width in pixels of the current screen mode; 0 when there is none.
  virtual int screenWidth() const { return 0; }
  // Appends text to the log while one is open.
  virtual void log(const char*) {}
  // Whether extra diagnostic lines are wanted (the client's option -log).
  virtual bool debugLog() const { return false; }
  // What was logged so far reaches the disk: flushLog flushes the open log, reopenLog closes
  // it and opens it again for appending. Both do nothing while no log is open.
  virtual void flushLog() {}
  virtual void reopenLog() {}
};

// Installs host (borrowed until it is replaced; null removes it) and returns the one before.
cHost* setHost(cHost* host);

int hostScreenWidth();
bool hostDebugLog();
void hostFlushLog();
void hostReopenLog();
// Writes a formatted line to the host's log; does nothing without a host.
void hostLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Path of a file shipped with the game ("times.ttf", "tarvix.dat#name"): the name itself, in
// the current folder, unless the client set a data folder (installed, it is not the current one).
std::string hostDataFile(const char* name);
// "" restores the current folder; otherwise a folder path without a trailing slash.
void setHostDataFolder(const std::string& folder);

#endif
