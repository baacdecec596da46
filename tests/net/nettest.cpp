#include "nettest.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

void NetTest::SetUp()
{
  directory.reset(new cTestDirectory("korvane-net"));
  ASSERT_TRUE(directory->ok());
}

Bytes bytesOf(const char* p, int n)
{
  return Bytes(reinterpret_cast<const unsigned char*>(p),
               reinterpret_cast<const unsigned char*>(p) + n);
}

Bytes hexBytes(const char* hex)
{
  Bytes out;
  std::istringstream in(hex);
  std::string word;
  while (in >> word) out.push_back(static_cast<unsigned char>(std::stoul(word, nullptr, 16)));
  return out;
}

std::string readFile(const char* name)
{
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> linesOf(const char* name)
{
  std::vector<std::string> lines;
  std::istringstream in(readFile(name));
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

SocketPair::SocketPair()
{
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
    a = fds[0];
    b = fds[1];
  }
}

SocketPair::~SocketPair()
{
  if (a > 0) close(a);
  if (b > 0) close(b);
}

int SocketPair::take(int& end)
{
  const int fd = end;
  end = -1;
  return fd;
}

void SocketPair::sendBytes(const Bytes& bytes) const
{
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = send(b, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (r <= 0) return;
    sent += size_t(r);
  }
}

Bytes SocketPair::readBytes(int n) const
{
  Bytes out(n);
  int got = 0;
  while (got < n) {
    pollfd p = {b, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) break;
    const ssize_t r = recv(b, out.data() + got, n - got, 0);
    if (r <= 0) break;
    got += int(r);
  }
  out.resize(got);
  return out;
}

bool descriptorOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

// The trace files stay open once written, by design: they are not counted.
int openDescriptorCount()
{
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (const dirent* e = readdir(d)) {
      char target[4096] = {};
      const std::string link = std::string("/proc/self/fd/") + e->d_name;
      const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
      const std::string file = n > 0 ? std::string(target, size_t(n)) : std::string();
      const bool trace =
          file.find("/test1") != std::string::npos && file.find(".txt") != std::string::npos;
      if (!trace) ++count;
    }
    closedir(d);
  }
  return count;
}
