// Relay load on a korvaned started here on loopback: N clients register, one sends moves at
// a fixed rate, the others receive. Prints relay latency (median, 99th percentile), frames
// relayed per second, frames lost or out of order, and the server's CPU time while idle.
// Usage: relay [seconds per run] (default 1); clients 2, 8 and 32.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/message.h"
#include "net/protocol.h"
#include "support/benchsupport.h"
#include "support/testdirectory.h"

namespace {

using Clock = std::chrono::steady_clock;

long long nowNs()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

int connectTo(int port)
{
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int i = 0; i < 200; ++i) {
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
      const int on = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      return fd;
    }
    usleep(10000);
  }
  close(fd);
  return -1;
}

bool readExact(int fd, char* buf, int n)
{
  for (int got = 0; got < n;) {
    const ssize_t r = recv(fd, buf + got, n - got, 0);
    if (r <= 0) return false;
    got += int(r);
  }
  return true;
}

bool readFrame(int fd, std::string& body)
{
  unsigned char len[2];
  if (!readExact(fd, reinterpret_cast<char*>(len), 2)) return false;
  body.resize(size_t(len[0] * 256 + len[1] - 2));
  return readExact(fd, &body[0], int(body.size()));
}

void sendAll(int fd, const char* data, int n)
{
  while (n > 0) {
    const ssize_t r = send(fd, data, n, MSG_NOSIGNAL);
    if (r <= 0) return;
    data += r;
    n -= int(r);
  }
}

void sendMessage(int fd, const cMessage& m)
{
  char* f = m.encode();
  sendAll(fd, f, m.encodedlength());
  delete[] f;
}

int join(int port, int k)
{
  const int fd = connectTo(port);
  const cVersionMessage v(protocolVersion, 'l');
  char* f = v.encode();
  sendAll(fd, f, 14);
  delete[] f;
  std::string body;
  readFrame(fd, body);
  const std::string reg = "REGbench" + std::to_string(k) + "@loopback";
  const std::string frame = std::string{0, char(reg.size() + 2)} + reg;
  sendAll(fd, frame.data(), int(frame.size()));
  readFrame(fd, body);
  return fd;
}

// The server's user + system CPU time in clock ticks.
long cpuTicks(pid_t pid)
{
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::atol(f.c_str());
    if (i == 15) stime = std::atol(f.c_str());
  }
  return utime + stime;
}

struct Receiver {
  std::vector<long long> latencies;
  long lost = 0;
  long disorder = 0;
  long received = 0;
};

// Each move carries its sequence number in the start point; the send time sits in a table
// shared with the sender.
void receive(int fd, long frames, const std::vector<std::atomic<long long>>* sent, Receiver* r)
{
  long expected = 0;
  std::string body;
  while (r->received < frames && readFrame(fd, body)) {
    const cDecodeMessage d(body.data(), int(body.size()));
    if (d.realMessage()->getType() != mtMove) continue;
    const cPoint from = static_cast<const cMoveMessage*>(d.realMessage())->from();
    const long seq = from.x * 65536L + from.y;
    if (seq < expected) ++r->disorder;
    if (seq > expected) r->lost += seq - expected;
    expected = seq + 1;
    ++r->received;
    r->latencies.push_back(nowNs() - (*sent)[size_t(seq)].load());
  }
  r->lost += frames - expected > 0 ? frames - expected : 0;
}

void runOnce(const std::string& program, int clients, double seconds, int rate)
{
  const cTestDirectory folder("korvane-relay");
  if (!folder.ok()) return;
  const int port = 20000 + getpid() % 20000 + clients;
  const pid_t server = startQuietServer(program, port);
  std::vector<int> fds;
  for (int k = 0; k < clients; ++k) fds.push_back(join(port, k));
  std::string body;
  cMapLayer layer(cPoint(100, 100));
  sendMessage(fds[0], cMapMessage(0, "???"));
  readFrame(fds[0], body);
  sendMessage(fds[0], cMapMessage(0, "TER", &layer));

  const long frames = long(seconds * rate);
  std::vector<std::atomic<long long>> sent(static_cast<size_t>(frames));
  std::vector<Receiver> receivers(size_t(clients - 1));
  std::vector<std::thread> threads;
  for (int k = 1; k < clients; ++k)
    threads.emplace_back(receive, fds[k], frames, &sent, &receivers[size_t(k - 1)]);
  const long long begin = nowNs();
  for (long i = 0; i < frames; ++i) {
    std::this_thread::sleep_until(
        Clock::time_point(std::chrono::nanoseconds(begin + i * 1000000000LL / rate)));
    sent[size_t(i)] = nowNs();
    sendMessage(fds[0], cMoveMessage(0, cPoint(int(i / 65536), int(i % 65536)), cPoint(1, 1)));
  }
  for (std::thread& t : threads) t.join();
  const double elapsed = (nowNs() - begin) / 1e9;

  std::vector<long long> all;
  long lost = 0, disorder = 0, received = 0;
  for (const Receiver& r : receivers) {
    all.insert(all.end(), r.latencies.begin(), r.latencies.end());
    lost += r.lost;
    disorder += r.disorder;
    received += r.received;
  }
  std::sort(all.begin(), all.end());
  const double median = all.empty() ? 0 : all[all.size() / 2] / 1e3;
  const double p99 = all.empty() ? 0 : all[all.size() * 99 / 100] / 1e3;

  const long idleStart = cpuTicks(server);
  const double idleSeconds = std::max(1.0, seconds);
  usleep(useconds_t(idleSeconds * 1e6));
  const double idleCpu =
      (cpuTicks(server) - idleStart) / double(sysconf(_SC_CLK_TCK)) / idleSeconds;

  std::printf(
      "%3d clients: latency median %7.1f us  p99 %7.1f us  relayed %8.0f frames/s  "
      "lost %ld  out of order %ld  idle CPU %.4f s/s\n",
      clients, median, p99, received / elapsed, lost, disorder, idleCpu);
  for (int fd : fds) close(fd);
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
}

// The seconds per run: a positive number, or 1 without an argument; false for anything else.
bool parseArguments(int argc, char** argv, double& seconds)
{
  seconds = 1.0;
  if (argc == 1) return true;
  char* end = nullptr;
  seconds = argc == 2 ? std::strtod(argv[1], &end) : 0;
  return end && end != argv[1] && *end == '\0' && seconds > 0 && seconds <= 3600;
}

}  // namespace

int main(int argc, char** argv)
{
  double seconds;
  if (!parseArguments(argc, argv, seconds)) {
    std::fprintf(stderr,
                 "usage: relay [seconds per run]\n"
                 "  Relay latency of korvaned with 2, 8 and 32 clients; 1 s per run by "
                 "default.\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const std::string program = serverProgram();
  if (access(program.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "relay: no server at %s\n", program.c_str());
    return 1;
  }
  const int rate = 1000;  // moves per second from the one sender
  std::printf("relay: %d moves/s for %.1f s per run; server %s\n", rate, seconds, program.c_str());
  for (int clients : {2, 8, 32}) runOnce(program, clients, seconds, rate);
  return 0;
}
