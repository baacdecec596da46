#ifndef KORVANE_TESTS_SUPPORT_SERVERPROCESS_H
#define KORVANE_TESTS_SUPPORT_SERVERPROCESS_H
// The real korvaned as a child process working in the current directory, found through
// KORVANE_BUILD (ctest sets it). Its standard output and error are appended to two files.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/testdirectory.h"

class cServerProcess {
public:
  cServerProcess(std::string outFile, std::string errFile);
  ~cServerProcess();  // kills the program if it still runs
  cServerProcess(const cServerProcess&) = delete;
  cServerProcess& operator=(const cServerProcess&) = delete;

  // Starts the program with these arguments; false when it cannot be run at all. With
  // input, its standard input is a pipe that input() writes to; otherwise it is inherited.
  bool spawn(const std::vector<std::string>& args, bool input = false);
  // Starts it on a free loopback port (after the arguments given) and waits up to 10 s for
  // "Server up and running.".
  bool startOnFreePort(const std::vector<std::string>& args = {}, bool input = false);
  void input(const std::string& text);  // to its standard input
  void closeInput();
  int port() const { return listening; }
  pid_t pid() const { return child; }
  // The exit status once it ended within ms, -1 while it runs, -2 when a signal ended it.
  int waitExit(int ms);
  void kill(int signal);    // and reaps it
  void signal(int signal);  // only sends it
  std::string out() const;
  std::string err() const;

private:
  std::string outFile, errFile;
  pid_t child = -1;
  int inputFd = -1;  // the writing end of its standard input, when it has one
  int listening = 0;
};

#endif
