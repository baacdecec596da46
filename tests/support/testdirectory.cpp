#include "support/testdirectory.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

cTestDirectory::cTestDirectory(const char* prefix)
{
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return;
  std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
  if (!mkdtemp(&pattern[0]) || chdir(pattern.c_str()) != 0) return;
  previous = cwd;
  path = pattern;
}

cTestDirectory::~cTestDirectory()
{
  if (path.empty()) return;
  if (chdir(previous.c_str()) != 0) return;  // never remove the folder we stand in
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

int freeLoopbackPort()
{
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
  close(s);
  return ntohs(a.sin_port);
}

std::string fileText(const std::string& name)
{
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& name, const std::string& bytes)
{
  std::ofstream(name, std::ios::binary) << bytes;
}
