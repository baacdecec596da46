#include "servertest.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "net/message.h"
#include "world/maplayer.h"

namespace {

size_t countOf(const std::string& text, const std::string& needle)
{
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace

std::string terrainFrame(int width, int height, char cell)
{
  cMapLayer layer(cPoint(width, height));
  for (int i = 0; i < width * height; ++i) layer.place(long(i), cell);
  return frameOf(cMapMessage(0, "TER", &layer));
}

void ServerTest::SetUp()
{
  directory.reset(new cTestDirectory("korvane-server"));
  ASSERT_TRUE(directory->ok());
  signal(SIGPIPE, SIG_IGN);
}

void ServerTest::TearDown()
{
  if (engine) {
    engine->stop();
    engineThread.join();
    engine.reset();
  }
  for (FILE* f : {console, errors})
    if (f) std::fclose(f);
  if (program) {
    program.reset();
    const std::string e = err();
    EXPECT_EQ(e.find("Sanitizer"), std::string::npos) << e;
  }
  directory.reset();
}

bool ServerTest::startServer()
{
  console = std::fopen("out.txt", "a");
  errors = std::fopen("err.txt", "a");
  engine.reset(new cServerEngine(console, errors));
  if (!engine->listen(0)) return false;
  port = engine->port();
  engineThread = std::thread([this] { engine->run(); });
  return true;
}

bool ServerTest::startProgram(const std::vector<std::string>& args, bool input)
{
  program.reset(new cServerProcess("out.txt", "err.txt"));
  const bool up = program->startOnFreePort(args, input);
  port = program->port();
  return up;
}

std::string ServerTest::out() const { return fileText("out.txt"); }
std::string ServerTest::err() const { return fileText("err.txt"); }

bool ServerTest::waitOut(const std::string& needle, int ms, int count) const
{
  for (int waited = 0;; waited += 10) {
    if (countOf(out(), needle) >= size_t(count)) return true;
    if (waited >= ms) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

long ServerTest::rssKb() const
{
  const std::string who = program ? std::to_string(program->pid()) : "self";
  std::istringstream status(fileText("/proc/" + who + "/status"));
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

Client::Client(int port) : Client(port, nullptr) {}

Client::Client(int port, const char* local)
{
  fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in from = {};
  from.sin_family = AF_INET;
  if (local && (inet_pton(AF_INET, local, &from.sin_addr) != 1 ||
                bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0)) {
    close(fd);
    fd = -1;
    return;
  }
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    fd = -1;
  }
}

Client::~Client()
{
  if (fd >= 0) close(fd);
}

void Client::send(const std::string& bytes) const
{
  size_t sent = 0;
  while (fd >= 0 && sent < bytes.size()) {
    const ssize_t r = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (r <= 0) return;
    sent += size_t(r);
  }
}

std::string Client::readBytes(size_t n, int ms) const
{
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (fd >= 0 && got.size() < n) {
    const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                             end - std::chrono::steady_clock::now())
                             .count());
    pollfd p = {fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    char buf[65536];
    const ssize_t r = recv(fd, buf, std::min(n - got.size(), sizeof buf), 0);
    if (r <= 0) break;
    got.append(buf, size_t(r));
  }
  return got;
}

bool Client::readFrame(std::string& body, int ms) const
{
  const std::string length = readBytes(2, ms);
  if (length.size() < 2) return false;
  const size_t n = size_t((unsigned char)length[0] * 256 + (unsigned char)length[1]) - 2;
  body = readBytes(n, ms);
  return body.size() == n;
}

bool Client::readText(std::string& text, unsigned long& from, int ms) const
{
  std::string body;
  do
    if (!readFrame(body, ms)) return false;
  while (body.compare(0, 3, "MSG") != 0);
  if (body.size() < 12 || body.compare(0, 7, "MSG0000") != 0) return false;
  from = 0;
  for (int i = 7; i < 11; ++i) from = from * 256 + (unsigned char)body[size_t(i)];
  text = body.substr(12);
  return true;
}

std::string Client::readText(int ms) const
{
  std::string text;
  unsigned long from;
  return readText(text, from, ms) ? text : "";
}

bool Client::quietFor(int ms) const
{
  pollfd p = {fd, POLLIN, 0};
  return poll(&p, 1, ms) == 0;
}

bool Client::closedWithin(int ms) const
{
  pollfd p = {fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return false;
  char c;
  return recv(fd, &c, 1, MSG_PEEK) <= 0;
}

bool Client::registerAs(const std::string& name, const std::string& host, std::string& status,
                        long& id)
{
  send(versionFrame());
  std::string body;
  if (!readFrame(body) || body.compare(0, 3, "DNM") != 0) return false;
  send(frameOf("REG" + name + "@" + host));
  if (!readFrame(body) || body.size() != 14) return false;
  const cDecodeMessage reply(body.data(), int(body.size()));
  if (reply.realMessage()->getType() != mtRegister) return false;
  const cRegisterMessage* r = static_cast<const cRegisterMessage*>(reply.realMessage());
  status = r->getStatus();
  id = r->getPlayerID();
  return true;
}

void Client::reset()
{
  const linger l = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  close(fd);
  fd = -1;
}
