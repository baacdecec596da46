#include "support/relayclients.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "net/message.h"
#include "net/protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

bool readExact(int fd, char* buf, int n)
{
  for (int got = 0; got < n;) {
    const ssize_t r = recv(fd, buf + got, size_t(n - got), 0);
    if (r <= 0) return false;
    got += int(r);
  }
  return true;
}

void sendAll(int fd, const char* data, int n)
{
  while (n > 0) {
    const ssize_t r = send(fd, data, size_t(n), MSG_NOSIGNAL);
    if (r <= 0) return;
    data += r;
    n -= int(r);
  }
}

struct cReceiver {
  std::vector<long long> latencies;  // ns
  long lost = 0, disorder = 0, received = 0;
};

// The send time of each frame sits in a table shared with the sender.
void receive(int fd, long frames, const cRelayTraffic* traffic,
             const std::vector<std::atomic<long long>>* sent, cReceiver* r)
{
  long expected = 0;
  std::string body;
  while (r->received < frames && readFrame(fd, body)) {
    const cDecodeMessage d(body.data(), int(body.size()));
    const long seq = traffic->sequence(*d.realMessage());
    if (seq < 0 || seq >= frames) continue;
    if (seq < expected) ++r->disorder;
    if (seq > expected) r->lost += seq - expected;
    expected = seq + 1;
    ++r->received;
    r->latencies.push_back(nowNs() - (*sent)[size_t(seq)].load());
  }
  r->lost += frames - expected > 0 ? frames - expected : 0;
}

void summarise(cRelayResult& result)
{
  std::vector<long long>& all = result.latenciesNs;
  std::sort(all.begin(), all.end());
  result.medianUs = all.empty() ? 0 : all[all.size() / 2] / 1e3;
  result.p99Us = all.empty() ? 0 : all[all.size() * 99 / 100] / 1e3;
}

cRelayResult summed(const std::vector<cReceiver>& receivers, double elapsed)
{
  cRelayResult result;
  long received = 0;
  for (const cReceiver& r : receivers) {
    result.latenciesNs.insert(result.latenciesNs.end(), r.latencies.begin(), r.latencies.end());
    result.lost += r.lost;
    result.disorder += r.disorder;
    received += r.received;
  }
  summarise(result);
  result.framesPerSecond = elapsed > 0 ? received / elapsed : 0;
  return result;
}

}  // namespace

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

bool readFrame(int fd, std::string& body)
{
  unsigned char len[2];
  if (!readExact(fd, reinterpret_cast<char*>(len), 2)) return false;
  const int length = len[0] * 256 + len[1];
  if (length < 2) return false;  // 0 and 1 stand for a closed connection
  body.resize(size_t(length - 2));
  return readExact(fd, &body[0], int(body.size()));
}

void sendMessage(int fd, const cMessage& m)
{
  char* f = m.encode();
  sendAll(fd, f, m.encodedlength());
  delete[] f;
}

int joinAs(int port, int k)
{
  const int fd = connectTo(port);
  if (fd < 0) return -1;
  const cVersionMessage v(protocolVersion, 'l');
  char* f = v.encode();
  sendAll(fd, f, v.encodedlength());
  delete[] f;
  std::string body;
  readFrame(fd, body);
  const std::string reg = "REGbench" + std::to_string(k) + "@loopback";
  const std::string frame = std::string{0, char(reg.size() + 2)} + reg;
  sendAll(fd, frame.data(), int(frame.size()));
  readFrame(fd, body);
  return fd;
}

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

cRelayResult measureRelay(const std::vector<int>& fds, double seconds, int rate,
                          const cRelayTraffic& traffic)
{
  const long frames = long(seconds * rate);
  std::vector<std::atomic<long long>> sent(static_cast<size_t>(frames));
  std::vector<cReceiver> receivers(fds.size() - 1);
  std::vector<std::thread> threads;
  for (size_t k = 1; k < fds.size(); ++k)
    threads.emplace_back(receive, fds[k], frames, &traffic, &sent, &receivers[k - 1]);
  const long long begin = nowNs();
  for (long i = 0; i < frames; ++i) {
    std::this_thread::sleep_until(
        Clock::time_point(std::chrono::nanoseconds(begin + i * 1000000000LL / rate)));
    sent[size_t(i)] = nowNs();
    traffic.send(fds[0], i);
  }
  for (std::thread& t : threads) t.join();
  return summed(receivers, (nowNs() - begin) / 1e9);
}

cRelayResult pooled(const std::vector<cRelayResult>& runs)
{
  cRelayResult all;
  for (const cRelayResult& r : runs) {
    all.latenciesNs.insert(all.latenciesNs.end(), r.latenciesNs.begin(), r.latenciesNs.end());
    all.lost += r.lost;
    all.disorder += r.disorder;
    all.framesPerSecond += r.framesPerSecond / double(runs.size());
  }
  summarise(all);
  return all;
}
