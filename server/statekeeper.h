#ifndef KORVANE_SERVER_STATEKEEPER_H
#define KORVANE_SERVER_STATEKEEPER_H
// The server's game kept in a file across restarts: "--state FILE [--save-interval SECONDS]".
// A thread of its own writes the game whenever it changed and the interval has passed; the
// server writes it once more when it ends.
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class cStateKeeper {
public:
  // Keeps the game in file, writing at most once every intervalSeconds (> 0). snapshot fills
  // bytes with the whole saved game and answers true, or false when there is no game to save
  // yet; it is called on the keeper's thread and takes what locks it needs. Lines go to
  // console. Nothing runs before start().
  cStateKeeper(const std::string& file, double intervalSeconds, FILE* console,
               std::function<bool(std::string& bytes)> snapshot);
  ~cStateKeeper();  // stops the thread; a change not yet written stays unwritten
  cStateKeeper(const cStateKeeper&) = delete;
  cStateKeeper& operator=(const cStateKeeper&) = delete;

  void start();
  void changed();  // any thread: the game differs from the file now
  // Writes the game if it changed since the last write; false when a write failed. Any
  // thread; writes never overlap.
  bool saveNow();

private:
  void keep();

  const std::string file;
  const long long intervalNs;
  FILE* console;
  std::function<bool(std::string&)> snapshot;

  std::mutex mut;  // guards everything below
  std::condition_variable wake;
  bool stopping = false;
  unsigned long version = 0;  // counts changes
  unsigned long written = 0;  // the version the file holds
  std::mutex mut_write;       // one write at a time; never taken under mut
  std::thread thread;
};

#endif
