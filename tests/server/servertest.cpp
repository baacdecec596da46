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

std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t countOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++n;
  return n;
}

}  // namespace

std::string frameOf(const std::string& body) {
  const size_t n = body.size() + 2;
  return std::string{char(n >> 8), char(n & 255)} + body;
}

std::string frameOf(const cMessage& m) {
  char* data = m.encode();
  std::string frame(data, size_t(m.encodedlength()));
  delete[] data;
  return frame;
}

std::string versionFrame() {
  const cVersionMessage v("0.26.20", 'l');
  char* data = v.encode();
  std::string frame(data, 14);
  delete[] data;
  return frame;
}

std::string terrainFrame(int width, int height, char cell) {
  cMapLayer layer(cPoint(width, height));
  for (int i = 0; i < width * height; ++i) layer.place(long(i), cell);
  return frameOf(cMapMessage(0, "TER", &layer));
}

void ServerTest::SetUp() {
  directory.reset(new cTestDirectory("korvane-server"));
  ASSERT_TRUE(directory->ok());
  signal(SIGPIPE, SIG_IGN);
}

void ServerTest::TearDown() {
  if (server > 0 && waitExit(server, 0) == -1) {
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
  }
  const std::string e = err();
  EXPECT_EQ(e.find("Sanitizer"), std::string::npos) << e;
  directory.reset();
}

pid_t ServerTest::spawn(const std::vector<std::string>& args) {
  const char* build = std::getenv("KORVANE_BUILD");
  const std::string program = std::string(build ? build : ".") + "/server/korvaned";
  const pid_t pid = fork();
  if (pid == 0) {
    const int o = open("out.txt", O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int e = open("err.txt", O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(o, 1);
    dup2(e, 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

bool ServerTest::startServer() {
  for (int attempt = 0; attempt < 5; ++attempt) {
    port = freeLoopbackPort();
    server = spawn({std::to_string(port)});
    for (int waited = 0; waited < 10000; waited += 10) {
      if (err().find("Server up and running.\n") != std::string::npos) return true;
      if (waitExit(server, 0) != -1) break;  // the port was taken meanwhile: try another
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return false;
}

int ServerTest::waitExit(pid_t pid, int ms) {
  for (int waited = 0;; waited += 10) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      if (pid == server) server = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    if (waited >= ms) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string ServerTest::out() const { return readFile("out.txt"); }
std::string ServerTest::err() const { return readFile("err.txt"); }

bool ServerTest::waitOut(const std::string& needle, int ms, int count) const {
  for (int waited = 0;; waited += 10) {
    if (countOf(out(), needle) >= size_t(count)) return true;
    if (waited >= ms) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

long ServerTest::rssKb() const {
  std::istringstream status(readFile("/proc/" + std::to_string(server) + "/status"));
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

Client::Client(int port) {
  fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    fd = -1;
  }
}

Client::~Client() {
  if (fd >= 0) close(fd);
}

void Client::send(const std::string& bytes) const {
  size_t sent = 0;
  while (fd >= 0 && sent < bytes.size()) {
    const ssize_t r = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (r <= 0) return;
    sent += size_t(r);
  }
}

std::string Client::readBytes(size_t n, int ms) const {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (fd >= 0 && got.size() < n) {
    const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                             end - std::chrono::steady_clock::now()).count());
    pollfd p = {fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    char buf[65536];
    const ssize_t r = recv(fd, buf, std::min(n - got.size(), sizeof buf), 0);
    if (r <= 0) break;
    got.append(buf, size_t(r));
  }
  return got;
}

bool Client::readFrame(std::string& body, int ms) const {
  const std::string length = readBytes(2, ms);
  if (length.size() < 2) return false;
  const size_t n = size_t((unsigned char)length[0] * 256 + (unsigned char)length[1]) - 2;
  body = readBytes(n, ms);
  return body.size() == n;
}

bool Client::quietFor(int ms) const {
  pollfd p = {fd, POLLIN, 0};
  return poll(&p, 1, ms) == 0;
}

bool Client::closedWithin(int ms) const {
  pollfd p = {fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return false;
  char c;
  return recv(fd, &c, 1, MSG_PEEK) <= 0;
}

bool Client::registerAs(const std::string& name, const std::string& host, std::string& status,
                        long& id) {
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

void Client::reset() {
  const linger l = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  close(fd);
  fd = -1;
}
