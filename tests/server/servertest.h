#ifndef KORVANE_TESTS_SERVER_SERVERTEST_H
#define KORVANE_TESTS_SERVER_SERVERTEST_H
// Helpers for the server's tests: a server running in the test's own process, or the real
// korvaned, on a free port in a private working directory (traces are written there), and
// loopback clients that speak to it.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/frames.h"
#include "support/serverprocess.h"
#include "support/testdirectory.h"

#include "server/serverengine.h"

std::string terrainFrame(int width, int height, char cell);  // a "TER" map message
const unsigned long fromServer = 0xFFFFFFFFul;  // the sender ID of the server's own texts, as sent

class ServerTest : public ::testing::Test {
protected:
  void SetUp() override;
  // Stops the server (in-process or program); fails on sanitizer reports of the program.
  void TearDown() override;

  // A server in this process on a free port, its console written to out.txt and err.txt.
  bool startServer();
  // The real korvaned on a free port, its standard output and error in the same files; args
  // come before the port, and with input its standard input is program->input().
  bool startProgram(const std::vector<std::string>& args = {}, bool input = false);
  std::string out() const;  // the server's console so far
  std::string err() const;
  // Waits until the console holds needle at least count times.
  bool waitOut(const std::string& needle, int ms, int count = 1) const;
  long rssKb() const;  // the server's resident memory from /proc (this process when in it)

  std::unique_ptr<cTestDirectory> directory;
  int port = 0;
  std::unique_ptr<cServerProcess> program;
  std::unique_ptr<cServerEngine> engine;
  std::thread engineThread;
  FILE* console = nullptr;
  FILE* errors = nullptr;
};

// One loopback connection; all reads give up after their timeout.
class Client {
public:
  explicit Client(int port);
  // Bound to the loopback address `local` (e.g. "127.0.0.2") before connecting.
  Client(int port, const char* local);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool connected() const { return fd >= 0; }
  void send(const std::string& bytes) const;
  // The body of the next frame, or false on timeout or close.
  bool readFrame(std::string& body, int ms = 2000) const;
  // The next text message, skipping other frames: its text and sender ID; false when none
  // came in time or it is malformed.
  bool readText(std::string& text, unsigned long& from, int ms = 2000) const;
  std::string readText(int ms = 2000) const;             // the text alone; empty when none came
  std::string readBytes(size_t n, int ms = 2000) const;  // fewer on timeout or close
  bool quietFor(int ms) const;                           // nothing arrives for ms
  bool closedWithin(int ms) const;                       // the server ends the connection
  // Version announcement and registration; the reply's status ("OK_", "DUP") and ID.
  bool registerAs(const std::string& name, const std::string& host, std::string& status, long& id);
  void reset();  // ends the connection with a reset instead of an orderly close

  int fd = -1;
};

#endif
