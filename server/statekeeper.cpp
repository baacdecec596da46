#include "server/statekeeper.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "net/savegame.h"

namespace {

// The interval as a decimal number of seconds, more than 0 and at most a day.
bool parseInterval(const char* text, double& seconds)
{
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0 || value > 86400)
    return false;
  seconds = value;
  return true;
}

}  // namespace

bool takeStateOptions(int& argc, char** argv, cStateOptions& options, std::string& bad)
{
  bool intervalGiven = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const bool state = !std::strcmp(argv[i], "--state");
    const bool interval = !std::strcmp(argv[i], "--save-interval");
    if (!state && !interval) {
      argv[kept++] = argv[i];
      continue;
    }
    if (i + 1 >= argc || !*argv[i + 1]) {
      bad = std::string(argv[i]) + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    if (state) options.file = value;
    if (interval && !parseInterval(value, options.saveIntervalSeconds)) {
      bad = std::string("bad save interval ") + value;
      return false;
    }
    intervalGiven = intervalGiven || interval;
  }
  argv[kept] = nullptr;
  argc = kept;
  if (intervalGiven && options.file.empty()) {
    bad = "--save-interval needs --state";
    return false;
  }
  return true;
}

cStateKeeper::cStateKeeper(const cStateOptions& options, FILE* out,
                           std::function<bool(std::string&)> take)
    : file(options.file),
      intervalNs(static_cast<long long>(options.saveIntervalSeconds * 1e9)),
      console(out),
      snapshot(std::move(take))
{
}

cStateKeeper::~cStateKeeper()
{
  {
    std::lock_guard<std::mutex> lock(mut);
    stopping = true;
  }
  wake.notify_all();
  if (thread.joinable()) thread.join();
}

void cStateKeeper::start() { thread = std::thread(&cStateKeeper::keep, this); }

void cStateKeeper::changed()
{
  std::lock_guard<std::mutex> lock(mut);
  ++version;
}

int cStateKeeper::writes() const
{
  std::lock_guard<std::mutex> lock(mut);
  return writeCount;
}

// One write per interval at most, and none while nothing changed.
void cStateKeeper::keep()
{
  std::unique_lock<std::mutex> lock(mut);
  while (!stopping) {
    wake.wait_for(lock, std::chrono::nanoseconds(intervalNs), [this] { return stopping; });
    if (stopping || version == written) continue;
    lock.unlock();
    saveNow();
    lock.lock();
  }
}

bool cStateKeeper::saveNow()
{
  std::lock_guard<std::mutex> writing(mut_write);
  unsigned long taking;
  {
    std::lock_guard<std::mutex> lock(mut);
    if (version == written) return true;
    taking = version;
  }
  // A change after this point bumps the version again, so the next pass writes it.
  std::string bytes, reason;
  if (!snapshot(bytes)) return true;
  if (!writeSavedGame(file, bytes, reason)) {
    std::fprintf(console, "Could not write state %s: %s.\n", file.c_str(), reason.c_str());
    std::fflush(console);
    return false;
  }
  std::lock_guard<std::mutex> lock(mut);
  written = taking;
  ++writeCount;
  return true;
}
