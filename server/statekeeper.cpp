#include "server/statekeeper.h"

#include <chrono>

#include "net/savegame.h"

cStateKeeper::cStateKeeper(const std::string& stateFile, double intervalSeconds, FILE* out,
                           std::function<bool(std::string&)> take)
    : file(stateFile),
      intervalNs(static_cast<long long>(intervalSeconds * 1e9)),
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
  return true;
}
