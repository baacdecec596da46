#ifndef KORVANE_NET_SOCKET_H
#define KORVANE_NET_SOCKET_H
// The socket calls a server makes, each in one place: listening, accepting with a wake-up,
// per-connection options and waits. Descriptors are plain ints owned by the caller.

// Why a listener could not be opened; the texts are the server's own start-up lines.
enum eListenFailure { lfNone, lfProtocol, lfSocket, lfBind, lfListen };
const char* listenFailureText(eListenFailure f);

// A TCP socket bound to port on every local address (0: any free port) and listening with a
// backlog of 6; -1 and the reason on failure.
int openListener(int port, eListenFailure& failure);
int boundPort(int socket);  // the local port, or 0 when unknown

// Counts wake-ups for one waiting thread; any thread may signal. Not copyable.
class cWakeup {
public:
  cWakeup();
  ~cWakeup();
  cWakeup(const cWakeup&) = delete;
  cWakeup& operator=(const cWakeup&) = delete;

  void signal() const;
  void clear() const;  // takes the wake-ups counted so far
  int descriptor() const { return fd; }

private:
  int fd;
};

// Waits up to ms for a connection on listener or a wake-up: the accepted descriptor, -1 when
// none came (timeout or woken), -2 when accepting failed (errno tells why).
int acceptWithin(int listener, const cWakeup& wake, int ms);
// Whether an accept that failed with error will fail again whatever happens (the listener
// itself is unusable), unlike running out of descriptors or memory, which passes.
bool acceptFailureLasts(int error);
// Waits up to ms until socket (ignored when <= 0) is readable or wake is signalled; takes the
// wake-ups it saw.
void waitReadableOrWoken(int socket, const cWakeup& wake, int ms);

int duplicateSocket(int socket);  // -1 on failure
void closeSocket(int socket);
void shutdownSocket(int socket);  // both ways; wakes every reader and writer on it
void setNoDelay(int socket);      // frames leave at once instead of being coalesced
void setNonBlocking(int socket);
void setReceiveTimeout(int socket, int seconds);  // 0: unbounded

#endif
