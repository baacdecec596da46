#ifndef KORVANE_TESTS_SUPPORT_TESTHOST_H
#define KORVANE_TESTS_SUPPORT_TESTHOST_H
// A host for the code below the client (world/host.h), installed for as long as it lives:
// a screen width read from a function (0 without one), a log kept in memory and the
// diagnostic flag as the test sets it.
#include <functional>
#include <string>

#include "world/host.h"

class cTestHost : public cHost {
public:
  explicit cTestHost(std::function<int()> width = nullptr, bool debug = false);
  ~cTestHost() override;  // installs the host that was there before
  cTestHost(const cTestHost&) = delete;
  cTestHost& operator=(const cTestHost&) = delete;

  int screenWidth() const override { return width ? width() : 0; }
  void log(const char* text) override { written += text; }
  bool debugLog() const override { return debug; }
  void reopenLog() override { ++reopened; }

  const std::string& text() const { return written; }  // everything logged so far
  int reopenings() const { return reopened; }

  std::function<int()> width;
  bool debug;

private:
  cHost* previous;
  std::string written;
  int reopened = 0;
};

#endif
