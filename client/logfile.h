#ifndef KORVANE_CLIENT_LOGFILE_H
#define KORVANE_CLIENT_LOGFILE_H
// The client's log "log.txt" in the current directory, and the client as the host of the code
// below it (world/host.h): that code logs through hostLog and reads the screen width of the
// current graphics mode. Lines are written with hostLog, which does nothing while the log is
// closed.
#include <cstdio>

#include "world/host.h"

class cClientLog : public cHost {
public:
  cClientLog() = default;
  ~cClientLog() override;  // closes the log
  cClientLog(const cClientLog&) = delete;
  cClientLog& operator=(const cClientLog&) = delete;

  // Opens the log with fopen's mode ("w" creates it afresh, "a" appends); closes an open one
  // first.
  void open(const char* mode);
  void close();
  // Writes the same formatted line to the log and to standard output.
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  int screenWidth() const override;  // SCREEN_W
  void log(const char* text) override;
  bool debugLog() const override { return debug_log_on; }
  void flushLog() override;
  void reopenLog() override;

  FILE* fp = nullptr;         // the log stream; null while closed
  bool debug_log_on = false;  // extra diagnostic log lines (option -log)
};

#endif
