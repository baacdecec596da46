#ifndef KORVANE_SERVER_CONSOLE_H
#define KORVANE_SERVER_CONSOLE_H
// The operator's console: lines read from a descriptor (standard input for the program) on a
// thread of their own and handed to the server one by one. The end of the input only ends
// the reading; the server goes on.
#include <thread>

#include "net/socket.h"

class cServerEngine;

class cServerConsole {
public:
  // Starts reading fd (not closed here) for server, which must outlive the console.
  cServerConsole(cServerEngine& server, int fd);
  ~cServerConsole();  // stops reading and joins the thread
  cServerConsole(const cServerConsole&) = delete;
  cServerConsole& operator=(const cServerConsole&) = delete;

  static constexpr int maxLine = 1024;  // longer lines are cut to this many characters

private:
  void read();

  cServerEngine& server;
  int fd;
  cWakeup wake;
  std::thread thread;
};

#endif
