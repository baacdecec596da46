#include "server/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "server/serverengine.h"

cServerConsole::cServerConsole(cServerEngine& s, int input)
    : server(s), fd(input), thread(&cServerConsole::read, this)
{
}

cServerConsole::~cServerConsole()
{
  wake.signal();
  thread.join();
}

// A read error (a terminal the server lost, or one it may not read in the background) ends
// the console like the end of the input does.
void cServerConsole::read()
{
  std::string line;
  for (;;) {
    pollfd p[2] = {{fd, POLLIN, 0}, {wake.descriptor(), POLLIN, 0}};
    if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
    if (p[1].revents & POLLIN) return;
    if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] != '\n') {
        if (line.size() < size_t(maxLine)) line += buffer[i];
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();  // a line typed over telnet
      server.consoleCommand(line.c_str());
      line.clear();
    }
  }
}
