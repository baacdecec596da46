#include "net/network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "net/tracefile.h"

std::atomic<int> cNetworkQueue::stallLimitMs{10000};

namespace {

std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string formatted(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(n > 0 ? size_t(n) : 0, '\0');
  if (n > 0) std::vsnprintf(&text[0], size_t(n) + 1, format, again);
  va_end(again);
  return text;
}

// The bytes of a buffer up to its first zero, never past n: received bytes are not text.
std::string textOf(const char* p, int n)
{
  std::string s;
  for (int i = 0; i < n && p[i]; ++i) s += p[i];
  return s;
}

int storedLength(const char* data, int length)
{
  const unsigned char* u = reinterpret_cast<const unsigned char*>(data);
  return (length > 0 ? u[0] * 256 : 0) + (length > 1 ? u[1] : 0);
}

void traceFlush(const char* data, int length)
{
  const std::string text = length > 2 ? textOf(data + 2, length - 2) : std::string();
  const int width = length > 3 ? length - 3 : 0;
  std::string lines = formatted("Processing Queue %i %*s\n", length, width, text.c_str());
  const int stored = storedLength(data, length);
  if (stored != length)
    lines += formatted("encoded blah!: %i != %i\n", length, stored);
  else
    lines += formatted("encoded blah!: ok - %i\n", stored);
  appendTrace("test17.txt", lines);
}

bool waitReadable(int fd, long long nanoseconds)
{
  if (nanoseconds <= 0) return false;
  pollfd p = {fd, POLLIN, 0};
  const timespec limit = {time_t(nanoseconds / 1000000000LL), long(nanoseconds % 1000000000LL)};
  return ppoll(&p, 1, &limit, nullptr) > 0;
}

// A descriptor that does not block may take a frame in parts: wait for room for the rest.
bool waitWritable(int fd)
{
  pollfd p = {fd, POLLOUT, 0};
  return poll(&p, 1, cNetworkQueue::stallLimitMs.load()) > 0;
}

long long nowNanoseconds()
{
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

}  // namespace

cNetworkQueue::cNetworkQueue(int s) : socket(s)
{
  if (s != -1) return;
  socket = ::socket(AF_INET, SOCK_STREAM, 0);
  if (socket < 0) std::fputs("CQUEUE: can't open stream socket\n", stderr);
}

cNetworkQueue::~cNetworkQueue()
{
  if (socket > 0) ::close(socket);
}

void cNetworkQueue::dropSocket()
{
  if (socket > 0) ::close(socket);
  socket = 0;
  headerGot = pendingGot = pieces = 0;
  frontSent = 0;
  sendStalledSince = 0;
}

bool cNetworkQueue::connectQueue(const char* host, short port)
{
  if (socket <= 0) socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<unsigned short>(port));
  address.sin_addr.s_addr = inet_addr(host ? host : "");
  if (socket > 0 && ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
    return true;
  std::fputs("CLIENT: can't connect to server.\n", stderr);
  dropSocket();
  return false;
}

void cNetworkQueue::disconnectQueue()
{
  if (socket > 0) ::shutdown(socket, SHUT_RDWR);
  dropSocket();
}

bool cNetworkQueue::sendAll(const char* data, int length)
{
  int sent = 0;
  while (sent < length) {
    const ssize_t r = ::send(socket, data + sent, length - sent, MSG_NOSIGNAL);
    if (r < 0 && (errno == EINTR || (errno == EAGAIN && waitWritable(socket)))) continue;
    if (r <= 0) return false;
    sent += int(r);
  }
  return true;
}

// Sends what the socket takes now of the front node's rest: true when the node went out
// whole. Dropping the connection empties the node's rest too.
bool cNetworkQueue::sendSome(const char* data, int length)
{
  while (frontSent < length) {
    const ssize_t r =
        ::send(socket, data + frontSent, length - frontSent, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (r < 0 && errno == EINTR) continue;
    if (r > 0) {
      frontSent += int(r);
      sendStalledSince = 0;
      continue;
    }
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const long long now = nowNanoseconds();
      if (!sendStalledSince) sendStalledSince = now;
      if (now - sendStalledSince < stallLimitMs.load() * 1000000LL) return false;
    }
    dropSocket();
    return true;
  }
  return true;
}

void cNetworkQueue::processQueue()
{
  while (socket > 0 && head) {
    cQueueNode* node = head;
    if (!neverWait || frontSent == 0) traceFlush(node->myData(), node->myLength());
    if (neverWait) {
      if (!sendSome(node->myData(), node->myLength())) return;
    } else if (!sendAll(node->myData(), node->myLength())) {
      dropSocket();
    }
    frontSent = 0;
    head = node->getNext();
    delete node;
  }
}

bool cNetworkQueue::waitForData(int ms) const
{
  return socket > 0 && waitReadable(socket, ms * 1000000LL);
}

void cNetworkQueue::startFrame()
{
  frameDeadline = nowNanoseconds() + stallLimitMs.load() * 1000000LL;
}

// One receive of up to n bytes once data is there: > 0 bytes, 0 closed, -1 failed or past
// the frame's deadline.
int cNetworkQueue::receive(char* buf, int n)
{
  if (!waitReadable(socket, frameDeadline - nowNanoseconds())) return -1;
  for (;;) {
    const ssize_t r = ::recv(socket, buf, n, 0);
    if (r < 0 && errno == EINTR) continue;
    return r < 0 ? -1 : int(r);
  }
}

int cNetworkQueue::receiveAll(char* buf, int n)
{
  int got = 0;
  while (got < n) {
    const int r = receive(buf + got, n - got);
    if (r <= 0) break;
    got += r;
  }
  return got;
}

// Reads a body of n < buffer size bytes: one receive, then the rest if it came in pieces.
// Returns the bytes read; complete tells whether all n arrived.
int cNetworkQueue::readBody(char* buf, int n, const char* traceFile, bool& complete)
{
  int got = n > 0 ? receive(buf, n) : 0;
  if (got < 0) got = 0;
  appendTrace(traceFile, formatted("%s bytes %i %i\n", textOf(buf, got).c_str(), got, n));
  bool pieces = false;
  while (got < n) {
    pieces = true;
    const int r = receive(buf + got, n - got);
    if (r <= 0) {
      complete = false;
      return got;
    }
    got += r;
  }
  if (pieces)
    appendTrace(traceFile, formatted("r%s bytes %i %i\n", textOf(buf, got).c_str(), got, n));
  complete = true;
  return got;
}

// Bytes the socket holds now, up to n, without waiting: > 0 bytes, 0 the peer closed or the
// connection failed, -1 nothing there yet.
int cNetworkQueue::takeAvailable(char* buf, int n)
{
  for (;;) {
    const ssize_t r = ::recv(socket, buf, n, MSG_DONTWAIT);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? -1 : 0;
    return int(r);
  }
}

void cNetworkQueue::traceBodyPiece()
{
  const char* prefix = pieces == 1 ? "" : "r";
  appendTrace("test15.txt",
              formatted("%s%s bytes %i %i\n", prefix, textOf(pending.data(), pendingGot).c_str(),
                        pendingGot, declared));
}

// Takes what has arrived of the frame in progress, never past its end: the next frame stays
// in the stream. 1 the frame is whole, 0 the connection is to be dropped, -1 more to come.
int cNetworkQueue::gather(int max)
{
  while (headerGot < 2) {
    const int r = takeAvailable(reinterpret_cast<char*>(header) + headerGot, 2 - headerGot);
    if (r <= 0) return r;
    headerGot += r;
    if (headerGot < 2) continue;
    declared = header[0] * 256 + header[1] - 2;
    if (declared < 0) return 0;
    appendTrace("test15.txt", formatted("bbytes %i\n", declared));
    const int want = declared < max ? declared : (max > 0 ? max : 0);
    pending.resize(size_t(want));
  }
  const int want = int(pending.size());
  while (pendingGot < want) {
    const int r = takeAvailable(pending.data() + pendingGot, want - pendingGot);
    if (r <= 0) return r;
    pendingGot += r;
    ++pieces;
    // Frames longer than the buffer were never traced piece by piece.
    if (declared < max && (pieces == 1 || pendingGot == want)) traceBodyPiece();
  }
  return 1;
}

int cNetworkQueue::recvMessageNonBlocking(void* buf, int max)
{
  if (socket <= 0) return 0;
  const bool ready = waitReadable(socket, 10000L);
  if (headerGot == 0 && !ready) return -1;
  if (headerGot == 0) startFrame();
  const int r = ready ? gather(max) : -1;
  // A body cut short cannot be told from the next frame, and its missing bytes are no part
  // of it: the frame is dropped with the connection.
  if (r == 0 || (r < 0 && nowNanoseconds() >= frameDeadline)) {
    dropSocket();
    return 0;
  }
  if (r < 0) return -1;
  const int got = int(pending.size());
  if (got > 0) std::memcpy(buf, pending.data(), size_t(got));
  headerGot = pendingGot = pieces = 0;
  lastBody = got;
  return got > 0 ? 1 : 0;
}

bool cNetworkQueue::recvMessage(void* buf, int max)
{
  if (socket <= 0) return false;
  unsigned char length[2];
  if (::recv(socket, length, 2, MSG_WAITALL) < 2 || length[0] * 256 + length[1] < 2) return false;
  startFrame();
  const int n = length[0] * 256 + length[1] - 2;
  char* body = static_cast<char*>(buf);
  if (n >= max) {
    const int got = max > 0 ? receiveAll(body, max) : 0;
    lastBody = got == max ? got : 0;
    return max > 0 && got == max;
  }
  bool complete = false;
  const int got = readBody(body, n, "test16.txt", complete);
  lastBody = complete ? got : 0;
  return complete && got > 0;
}
