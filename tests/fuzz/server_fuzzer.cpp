// The whole server in one process, driven by up to four peers at once over loopback TCP.
// An input is a script of steps; each step's first byte names the peer (bits 0-1) and the
// action (bits 2-4), and the bytes after it are the action's operands: raw bytes, whole or
// cut frames of every kind, logins, map uploads, closes and console lines. After the script
// every peer closes its side; then the server must have ended every connection, sent each
// peer nothing but whole frames of known kinds, and kept a map whose lists and occupancy
// layers agree.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/message.h"
#include "net/network.h"
#include "net/tracefile.h"
#include "server/serverengine.h"
#include "world/map.h"

namespace {

using Clock = std::chrono::steady_clock;
const int peerSlots = 4;
const int maxConnections = 12;  // reopened peers included
const auto settleLimit = std::chrono::milliseconds(50);
const auto endLimit = std::chrono::seconds(10);  // well past the stall limit set below

int listener = -1;
sockaddr_in listenAddress = {};
FILE* quiet = nullptr;

void fail(const char* what, const std::string& detail = std::string())
{
  std::fprintf(stderr, "server fuzzer: %s %s\n", what, detail.c_str());
  __builtin_trap();
}

// The script's bytes, read front to back; past the end every read is 0.
struct cScript {
  const uint8_t* p;
  size_t left;
  bool done() const { return left == 0; }
  int byte()
  {
    if (!left) return 0;
    --left;
    return *p++;
  }
  // One byte, or after 0xff the 16-bit value of the next two: small values are cheap to
  // find, every boundary is reachable.
  int field()
  {
    const int b = byte();
    return b == 0xff ? byte() * 256 + byte() : b;
  }
  std::string bytes(int n)
  {
    std::string s;
    while (n-- > 0 && left) s += char(byte());
    return s;
  }
};

std::string word(int v) { return {char((v >> 8) & 0xff), char(v & 0xff)}; }
std::string dword(long v) { return word(int((v >> 16) & 0xffff)) + word(int(v & 0xffff)); }
std::string framed(const std::string& body) { return word(int(body.size()) + 2) + body; }

std::string terrain(int w, int h, int seed)
{
  std::string body = "MAP0000TER" + word(w) + word(h);
  for (int i = 0; i < w * h; ++i) body += char((seed + (i & 7)) & 0x7f);
  return body;
}

std::string objectBody(const char* tag, cScript& s)
{
  std::string body = std::string(tag) + "0000" + word(s.field());
  body += dword(s.byte() % 4);
  for (int i = 0; i < 5; ++i) body += word(s.field());
  return body;
}

std::string rectBody(const char* tag, cScript& s)
{
  std::string body = std::string(tag) + "0000";
  for (int i = 0; i < 4; ++i) body += word(s.field());
  return body;
}

std::string login(int who)
{
  const std::string version("DNM0.26.20l\0", 12);
  const std::string reg = "REGp" + std::to_string(who) + "@h";
  return framed(version) + framed(reg) + framed("MAP0000???");
}

// A frame body of every kind a peer may send, its fields from the script.
std::string frameBody(cScript& s)
{
  switch (s.byte() % 16) {
    case 0: return std::string("DNM0.26.20l\0", 12);
    case 1: return "REGp" + std::to_string(s.byte() % 4) + "@h";
    case 2: return "MAP0000???";
    case 3: return terrain(1 + s.byte() % 120, 1 + s.byte() % 120, s.byte());
    case 4: return "MAP0000///";
    case 5: return objectBody("CRE", s);
    case 6: return objectBody("CRU", s);
    case 7: return rectBody("MOV", s);
    case 8: return rectBody("SET", s) + word(s.field());
    case 9: return rectBody("HPC", s).substr(0, 13);
    case 10: return rectBody("DAM", s);
    case 11: return rectBody("REM", s);
    case 12: return "CLS0000";
    case 13: return "MSA" + s.bytes(s.byte() % 40);
    case 14: return "MSGp" + std::to_string(s.byte() % 4) + "@h:" + s.bytes(s.byte() % 40);
    default: return s.byte() & 1 ? "DIE" : "LST";
  }
}

struct cPeer {
  int client = -1;  // the fuzzer's end
  int served = -1;  // the server's end, closed by its thread
  std::string received;
  bool ended = false;  // the server's side closed
  std::thread thread;
};

class cRun {
public:
  cRun() : server(quiet, quiet) {}
  ~cRun();
  void play(cScript& s);
  void finish();

private:
  cPeer* peer(int slot);
  void step(cScript& s);
  void send(cPeer& p, const std::string& bytes);
  void drain(int us);
  void settle(const cPeer& p);
  void checkFrames(const cPeer& p) const;
  void checkMap();

  cServerEngine server;
  std::vector<std::unique_ptr<cPeer>> peers;
  cPeer* slots[peerSlots] = {};
};

cRun::~cRun()
{
  for (auto& p : peers) {
    if (p->client >= 0) shutdown(p->client, SHUT_RDWR);
    if (p->thread.joinable()) p->thread.join();
    if (p->client >= 0) close(p->client);
  }
}

cPeer* cRun::peer(int slot)
{
  if (slots[slot]) return slots[slot];
  if (int(peers.size()) >= maxConnections) return nullptr;
  const int c = socket(AF_INET, SOCK_STREAM, 0);
  if (c < 0 || connect(c, reinterpret_cast<sockaddr*>(&listenAddress), sizeof listenAddress))
    fail("connect failed");
  const int s = accept(listener, nullptr, nullptr);
  if (s < 0) fail("accept failed");
  const int on = 1;  // each step's bytes leave at once, as the script interleaves them
  setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  peers.emplace_back(new cPeer);
  cPeer* p = peers.back().get();
  p->client = c;
  p->served = s;
  p->thread = std::thread([this, s] {
    server.doRequest(s);
    close(s);
  });
  slots[slot] = p;
  return p;
}

// Reads what the server sent to every peer, waiting up to us microseconds for the first of it.
void cRun::drain(int us)
{
  std::vector<pollfd> waits;
  std::vector<cPeer*> who;
  for (auto& p : peers)
    if (!p->ended) {
      waits.push_back({p->client, POLLIN, 0});
      who.push_back(p.get());
    }
  const timespec limit = {us / 1000000, (us % 1000000) * 1000L};
  if (waits.empty() || ppoll(waits.data(), waits.size(), &limit, nullptr) <= 0) return;
  char buf[65536];
  for (size_t i = 0; i < waits.size(); ++i) {
    if (!waits[i].revents) continue;
    const ssize_t r = recv(who[i]->client, buf, sizeof buf, MSG_DONTWAIT);
    if (r > 0) who[i]->received.append(buf, size_t(r));
    if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) who[i]->ended = true;
  }
}

// Writing never waits on a server that is itself waiting for us to read.
void cRun::send(cPeer& p, const std::string& bytes)
{
  size_t sent = 0;
  const auto deadline = Clock::now() + endLimit;
  while (sent < bytes.size() && !p.ended) {
    const ssize_t r =
        ::send(p.client, bytes.data() + sent, bytes.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (r > 0) sent += size_t(r);
    if (r < 0 && errno != EAGAIN && errno != EINTR) return;  // the server closed on us
    if (Clock::now() > deadline) fail("the server stopped reading");
    if (r <= 0) drain(1000);
  }
}

// Until the server has read what was sent to p, so that steps interleave as scripted.
void cRun::settle(const cPeer& p)
{
  const auto deadline = Clock::now() + settleLimit;
  int unread = 0;
  while (!p.ended && ioctl(p.served, FIONREAD, &unread) == 0 && unread > 0 &&
         Clock::now() < deadline)
    drain(20);
  drain(0);
}

void cRun::step(cScript& s)
{
  const int op = s.byte();
  const int slot = op & 3;
  const int action = (op >> 2) & 7;
  if (action == 4) {
    const std::string line = s.bytes(s.byte() % 48);
    server.consoleCommand(line.c_str());
    return;
  }
  cPeer* p = peer(slot);
  if (!p) return;
  switch (action) {
    case 0: send(*p, s.bytes(1 + s.byte() % 64)); break;
    case 1: send(*p, framed(frameBody(s))); break;
    case 2: {
      const std::string f = framed(frameBody(s));
      send(*p, f.substr(0, size_t(s.byte()) % f.size()));
      break;
    }
    case 3:
      shutdown(p->client, SHUT_WR);
      slots[slot] = nullptr;
      break;
    case 5: send(*p, login(s.byte() % 4)); break;
    case 6: send(*p, framed(terrain(100, 100, s.byte())) + framed("MAP0000///")); break;
    default: break;
  }
  settle(*p);
}

void cRun::play(cScript& s)
{
  while (!s.done()) step(s);
}

void cRun::finish()
{
  for (auto& p : peers) shutdown(p->client, SHUT_WR);
  const auto deadline = Clock::now() + endLimit;
  for (;;) {
    bool open = false;
    for (auto& p : peers) open |= !p->ended;
    if (!open) break;
    if (Clock::now() > deadline) fail("a connection did not end");
    drain(10000);
  }
  for (auto& p : peers) p->thread.join();
  for (auto& p : peers) checkFrames(*p);
  checkMap();
}

void cRun::checkFrames(const cPeer& p) const
{
  static const char* const kinds[] = {"DNM", "REG", "MAP", "MSG", "MOV", "CRE",
                                      "CRU", "SET", "HPC", "DAM", "REM", "CLS"};
  const auto* b = reinterpret_cast<const unsigned char*>(p.received.data());
  const size_t n = p.received.size();
  size_t at = 0;
  while (at < n) {
    const size_t length = at + 2 <= n ? size_t(b[at] * 256 + b[at + 1]) : 0;
    if (length < 5 || at + length > n) fail("a frame sent cut or too short", p.received);
    bool known = false;
    for (const char* k : kinds) known |= !std::memcmp(b + at + 2, k, 3);
    if (!known) fail("a frame of no known kind", p.received.substr(at, 5));
    at += length;
  }
}

void layerAgrees(const cMap& map, eMapLayers layer, const cObjectList& list, const char* what)
{
  const cPoint size = map.getMaxPos();
  std::vector<char> covered(size_t(size.x) * size.y, 0);
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) {
    const cRect r = n->myData()->toRectArea();
    if (r.isEmpty() || r.left() < 0 || r.top() < 0 || r.right() > size.x || r.bottom() > size.y)
      fail(what, "lies off the map");
    for (int y = r.top(); y < r.bottom(); ++y)
      for (int x = r.left(); x < r.right(); ++x) covered[size_t(y) * size.x + x] = 1;
  }
  const cMapLayer* l = map.getLayer(layer);
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x)
      if ((l->get(cPoint(x, y)) != 0) != (covered[size_t(y) * size.x + x] != 0))
        fail(what, "occupancy disagrees at " + std::to_string(x) + "," + std::to_string(y));
}

void cRun::checkMap()
{
  server.inspectMap([](const cMap& map) {
    layerAgrees(map, LAYER_OBJECTS, *map.getBuildings(), "building");
    layerAgrees(map, LAYER_UNITS, *map.getUnits(), "unit");
  });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  quiet = std::fopen("/dev/null", "w");
  setTraceLimit(1 << 20);
  cNetworkQueue::stallLimitMs = 1000;
  listener = socket(AF_INET, SOCK_STREAM, 0);
  listenAddress.sin_family = AF_INET;
  listenAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof listenAddress;
  if (bind(listener, reinterpret_cast<sockaddr*>(&listenAddress), length) || listen(listener, 16) ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&listenAddress), &length))
    fail("no loopback listener");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  cScript script{data, size};
  cRun run;
  run.play(script);
  run.finish();
  return 0;
}
