#ifndef KORVANE_NET_NETWORK_H
#define KORVANE_NET_NETWORK_H
// A queue of outgoing frames on a TCP socket, with the flush and the two frame readers.
// Every trace line goes to "test15.txt" (polling read), "test16.txt" (blocking read) or
// "test17.txt" (flush) in the current directory, bounded as net/tracefile.h says.
#include <atomic>
#include <vector>

#include "net/queue.h"

class cNetworkQueue : public cQueue {
public:
  // -1 opens a new TCP socket (negative if that fails); any other value is adopted (0: none).
  explicit cNetworkQueue(int socket);
  ~cNetworkQueue() override;  // closes a descriptor it still holds

  // Replaces the descriptor without closing the old one; 0 detaches it for someone else.
  void setSocket(int s) { socket = s; }
  bool socketStatus() const { return socket > 0; }
  int socketDescriptor() const { return socket; }  // 0 when there is none
  // host is a dotted IPv4 address. On failure the descriptor is closed and forgotten; a later
  // call opens a fresh socket.
  bool connectQueue(const char* host, short port);
  // Shuts the connection down both ways and closes the descriptor.
  void disconnectQueue();
  // Sends every queued node in order. A lost connection drops (closes) the descriptor and
  // the node that failed; the rest stays queued. Without waiting (below), it sends what the
  // socket takes now and leaves the rest, the front node part-sent, to the next call.
  void processQueue();
  // A queue that never waits to send: a peer that stops reading costs the connection once
  // nothing could be sent for the stall limit, never a wait. For a loop that must not stop.
  void setSendWithoutWaiting(bool on) { neverWait = on; }

  // Polls for one frame, waiting at most 10 microseconds for bytes: -1 no whole frame yet,
  // 0 connection closed (descriptor dropped), > 0 a body was stored from buf[0] (at most max
  // bytes, never zero-terminated). A frame that arrives in parts is gathered across calls;
  // one not whole within the stall limit of its first byte, or cut by the peer's close,
  // counts as the connection closed: none of it is handed out. A body of 0 bytes reads 0
  // with the connection kept. Call with the same max until a frame is whole.
  int recvMessageNonBlocking(void* buf, int max);
  // Waits for one frame; false when the connection ended or the body did not arrive whole.
  // Never drops the descriptor. Not for a link that has a polled frame in progress.
  bool recvMessage(void* buf, int max);
  bool framePending() const { return headerGot > 0; }  // a polled frame is part-way in
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
  // The polled frame in progress: its length bytes, then its body (cut to the reader's max).
  unsigned char header[2] = {};
  int headerGot = 0;
  int declared = 0;  // body length the frame announced
  std::vector<char> pending;
  int pendingGot = 0;
  int pieces = 0;  // receives that brought body bytes
  bool neverWait = false;
  int frontSent = 0;               // bytes of the front node already sent (never waiting)
  long long sendStalledSince = 0;  // monotonic nanoseconds; 0 while sends go through
  bool sendSome(const char* data, int length);
  void startFrame();
  int gather(int max);
  int takeAvailable(char* buf, int n);
  void traceBodyPiece();
  bool sendAll(const char* data, int length);
  int receive(char* buf, int n);
  int receiveAll(char* buf, int n);
  int readBody(char* buf, int n, const char* traceFile, bool& complete);
};

#endif
