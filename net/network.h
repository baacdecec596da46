#ifndef KORVANE_NET_NETWORK_H
#define KORVANE_NET_NETWORK_H
// A queue of outgoing frames on a TCP socket, with the flush and the two frame readers.
// Every trace line goes to "test15.txt" (polling read), "test16.txt" (blocking read) or
// "test17.txt" (flush) in the current directory, bounded as net/tracefile.h says.
#include <atomic>

#include "net/queue.h"

class cNetworkQueue : public cQueue {
public:
  // -1 opens a new TCP socket (negative if that fails); any other value is adopted (0: none).
  explicit cNetworkQueue(int socket);
  ~cNetworkQueue() override;  // closes a descriptor it still holds

  // Replaces the descriptor without closing the old one; 0 detaches it for someone else.
  void setSocket(int s) { socket = s; }
  bool socketStatus() const { return socket > 0; }
  // host is a dotted IPv4 address. On failure the descriptor is closed and forgotten; a later
  // call opens a fresh socket.
  bool connectQueue(const char* host, short port);
  // Shuts the connection down both ways and closes the descriptor.
  void disconnectQueue();
  // Sends every queued node in order. A lost connection drops (closes) the descriptor and
  // the node that failed; the rest stays queued.
  void processQueue();

  // Polls for one frame, waiting at most 10 microseconds for its first byte: -1 none waiting,
  // 0 connection closed (descriptor dropped), > 0 a body was stored from buf[0] (at most max
  // bytes, never zero-terminated). A body that does not arrive whole (the peer left or
  // stalled) counts as the connection closed: none of it is handed out.
  int recvMessageNonBlocking(void* buf, int max);
  // Waits for one frame; false when the connection ended or the body did not arrive whole.
  // Never drops the descriptor.
  bool recvMessage(void* buf, int max);
  // Bytes of the body the last successful read stored (at most its max).
  int lastBodyLength() const { return lastBody; }
  // Waits up to ms for something to read (or the peer's close); false when the time ran out.
  bool waitForData(int ms) const;

  // Longest time in milliseconds a frame may take to arrive once its first byte is there;
  // past it the connection counts as lost.
  static std::atomic<int> stallLimitMs;  // tests may change it while threads read

protected:
  void dropSocket();
  int socket;

private:
  long long frameDeadline = 0;  // monotonic nanoseconds
  int lastBody = 0;
  void startFrame();
  bool sendAll(const char* data, int length);
  int receive(char* buf, int n);
  int receiveAll(char* buf, int n);
  int readBody(char* buf, int n, const char* traceFile, bool& complete);
};

#endif
