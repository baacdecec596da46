#include "net/socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

const char* listenFailureText(eListenFailure f)
{
  switch (f) {
    case lfProtocol: return "cannot map \"tcp\" to protocol number";
    case lfSocket: return "socket creation failed\n";
    case lfBind: return "bind failed\n";
    case lfListen: return "listen failed\n";
    default: return "";
  }
}

int openListener(int port, eListenFailure& failure)
{
  const protoent* tcp = getprotobyname("tcp");
  failure = !tcp ? lfProtocol : lfNone;
  const int s = tcp ? ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, tcp->p_proto) : -1;
  if (tcp && s < 0) failure = lfSocket;
  if (failure != lfNone) return -1;
  const int on = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(uint16_t(port));
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0)
    failure = lfBind;
  else if (::listen(s, 6) < 0)
    failure = lfListen;
  if (failure == lfNone) return s;
  ::close(s);
  return -1;
}

int boundPort(int socket)
{
  sockaddr_in address = {};
  socklen_t length = sizeof address;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

cWakeup::cWakeup() : fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

cWakeup::~cWakeup()
{
  if (fd >= 0) ::close(fd);
}

void cWakeup::signal() const
{
  const uint64_t one = 1;
  if (::write(fd, &one, sizeof one) < 0) {
    // The counter is already non-zero: the thread is due to wake anyway.
  }
}

void cWakeup::clear() const
{
  uint64_t count;
  if (::read(fd, &count, sizeof count) < 0) {
    // Another wake-up raced us to it: nothing to reset.
  }
}

int acceptWithin(int listener, const cWakeup& wake, int ms)
{
  pollfd p[2] = {{listener, POLLIN, 0}, {wake.descriptor(), POLLIN, 0}};
  if (::poll(p, 2, ms) <= 0) return -1;
  if (p[1].revents & POLLIN) wake.clear();
  if (!(p[0].revents & POLLIN)) return -1;
  const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd >= 0) return fd;
  // The peer may give up between the wake-up and the accept: that is no failure of ours.
  return errno == ECONNABORTED || errno == EINTR || errno == EAGAIN ? -1 : -2;
}

bool acceptFailureLasts(int error)
{
  return error == EBADF || error == EINVAL || error == ENOTSOCK || error == EOPNOTSUPP ||
         error == EFAULT;
}

void waitReadableOrWoken(int socket, const cWakeup& wake, int ms)
{
  pollfd p[2] = {{socket > 0 ? socket : -1, POLLIN, 0}, {wake.descriptor(), POLLIN, 0}};
  if (::poll(p, 2, ms) > 0 && (p[1].revents & POLLIN)) wake.clear();
}

int duplicateSocket(int socket) { return ::fcntl(socket, F_DUPFD_CLOEXEC, 0); }

void closeSocket(int socket)
{
  if (socket >= 0) ::close(socket);
}

void shutdownSocket(int socket)
{
  if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
}

void setNoDelay(int socket)
{
  const int on = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void setNonBlocking(int socket)
{
  if (socket > 0) ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
}

void setReceiveTimeout(int socket, int seconds)
{
  const timeval t = {seconds, 0};
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
}
