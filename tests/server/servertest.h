#ifndef KORVANE_TESTS_SERVER_SERVERTEST_H
#define KORVANE_TESTS_SERVER_SERVERTEST_H
// Helpers for the server's tests: the real korvaned started on a free port in a private
// working directory (it writes trace files there), and loopback clients that speak to it.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "support/testdirectory.h"

class cMessage;

std::string frameOf(const std::string& body);  // two length bytes, then the body
std::string frameOf(const cMessage& m);
std::string versionFrame();
std::string terrainFrame(int width, int height, char cell);  // a "TER" map message

class ServerTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;  // kills the server if it still runs; fails on sanitizer reports

  // Starts korvaned with the given arguments (none: the free port found for this test) and
  // waits for it to listen. Answers false when it did not come up.
  bool startServer();
  pid_t spawn(const std::vector<std::string>& args);
  int waitExit(pid_t pid, int ms);  // exit status, -1 still running, -2 killed by a signal
  std::string out() const;          // the server's standard output so far
  std::string err() const;
  // Waits until the standard output holds needle at least count times.
  bool waitOut(const std::string& needle, int ms, int count = 1) const;
  long rssKb() const;  // the server's resident memory from /proc

  std::unique_ptr<cTestDirectory> directory;
  int port = 0;
  pid_t server = -1;
};

// One loopback connection; all reads give up after their timeout.
class Client {
public:
  explicit Client(int port);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool connected() const { return fd >= 0; }
  void send(const std::string& bytes) const;
  // The body of the next frame, or false on timeout or close.
  bool readFrame(std::string& body, int ms = 2000) const;
  std::string readBytes(size_t n, int ms = 2000) const;  // fewer on timeout or close
  bool quietFor(int ms) const;   // nothing arrives for ms
  bool closedWithin(int ms) const;  // the server ends the connection
  // Version announcement and registration; the reply's status ("OK_", "DUP") and ID.
  bool registerAs(const std::string& name, const std::string& host, std::string& status,
                  long& id);
  void reset();  // ends the connection with a reset instead of an orderly close

  int fd = -1;
};

#endif
