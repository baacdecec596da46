#include "net/tracefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>

namespace {

struct cOpenTrace {
  int fd = -1;
  dev_t device = 0;
  ino_t inode = 0;
};

std::mutex traceLock;                      // guards the table and every write through it
std::map<std::string, cOpenTrace> opened;  // by file name
std::atomic<long long> sizeLimit{64LL << 20};

void reopen(const std::string& name, cOpenTrace& t)
{
  if (t.fd >= 0) ::close(t.fd);
  t.fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  struct stat s;
  if (t.fd >= 0 && ::fstat(t.fd, &s) == 0) {
    t.device = s.st_dev;
    t.inode = s.st_ino;
  }
}

// Another writer may have renamed or removed the file since: then ours is no longer current.
// named: the file under the name as seen just before (found false when there is none).
bool current(const cOpenTrace& t, bool found, const struct stat& named)
{
  return t.fd >= 0 && found && named.st_dev == t.device && named.st_ino == t.inode;
}

void rotate(const std::string& name, cOpenTrace& t)
{
  ::rename(name.c_str(), (name + ".1").c_str());
  reopen(name, t);
}

}  // namespace

void appendTrace(const char* name, const std::string& text)
{
  struct stat named;
  const bool found = ::stat(name, &named) == 0;  // outside the lock: the path walk is the slow part
  std::lock_guard<std::mutex> lock(traceLock);
  cOpenTrace& t = opened[name];
  if (!current(t, found, named)) reopen(name, t);
  if (t.fd < 0) return;
  if (::write(t.fd, text.data(), text.size()) < 0) return;
  // With O_APPEND the offset after a write is the file's size, every other writer included.
  if (::lseek(t.fd, 0, SEEK_CUR) > sizeLimit.load()) rotate(name, t);
}

void setTraceLimit(long long bytes) { sizeLimit = bytes; }

long long traceLimit() { return sizeLimit.load(); }
