#ifndef KORVANE_BENCH_SUPPORT_RELAYCLIENTS_H
#define KORVANE_BENCH_SUPPORT_RELAYCLIENTS_H
// Loopback players of a korvaned under load: one sends numbered change frames at a fixed
// rate, the others receive what the server relays, and the latency of every relayed frame
// is measured from its send.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class cMessage;

long long nowNs();  // the monotonic clock in nanoseconds

// A TCP connection to port on loopback (Nagle off), retried for up to 2 s; -1 on failure.
int connectTo(int port);
// The body of the next frame of fd; false once the connection closed.
bool readFrame(int fd, std::string& body);
void sendMessage(int fd, const cMessage& m);
// A connection that announced its version and registered as "bench<k>@loopback"; -1 when
// the server could not be reached.
int joinAs(int port, int k);
// The user + system processor time of process pid so far, in clock ticks.
long cpuTicks(pid_t pid);

// How the frames of a run carry their sequence numbers 0, 1, 2, ...
struct cRelayTraffic {
  std::function<void(int fd, long seq)> send;     // sends frame number seq on fd
  std::function<long(const cMessage&)> sequence;  // its number, or -1 for other frames
};

struct cRelayResult {
  std::vector<long long> latenciesNs;  // of every frame received, sorted
  double medianUs = 0, p99Us = 0;      // relay latency
  double framesPerSecond = 0;          // received by all receivers together
  long lost = 0, disorder = 0;         // frames missing or arriving after a later one
};

// fds[0] sends rate frames a second for seconds; fds[1..] receive them all (or until their
// connection closes).
cRelayResult measureRelay(const std::vector<int>& fds, double seconds, int rate,
                          const cRelayTraffic& traffic);
// Several runs taken as one: their latencies together, frames per second averaged.
cRelayResult pooled(const std::vector<cRelayResult>& runs);

#endif
