#include "server/operators.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace {

using cAddress = cOperatorAddresses::cAddress;

cAddress mapped(const in_addr& v4)
{
  cAddress a = {};
  a[10] = a[11] = 0xff;
  std::memcpy(a.data() + 12, &v4, 4);
  return a;
}

}  // namespace

bool cOperatorAddresses::parse(const char* text, cAddress& a)
{
  in_addr v4;
  in6_addr v6;
  if (inet_pton(AF_INET, text, &v4) == 1) {
    a = mapped(v4);
    return true;
  }
  if (inet_pton(AF_INET6, text, &v6) != 1) return false;
  std::memcpy(a.data(), &v6, 16);
  return true;
}

cOperatorAddresses::cOperatorAddresses() { set({}); }

void cOperatorAddresses::set(const std::vector<std::string>& texts)
{
  addresses.clear();
  cAddress a;
  for (const std::string& t : texts)
    if (parse(t.c_str(), a)) addresses.push_back(a);
  if (!addresses.empty()) return;
  for (const char* t : {"127.0.0.1", "::1"})
    if (parse(t, a)) addresses.push_back(a);
}

bool cOperatorAddresses::isAddress(const char* text)
{
  cAddress a;
  return text && parse(text, a);
}

bool cOperatorAddresses::contains(const cAddress& a) const
{
  for (const cAddress& o : addresses)
    if (o == a) return true;
  return false;
}

bool peerOf(int socket, cAddress& address, std::string& text)
{
  sockaddr_storage s = {};
  socklen_t length = sizeof s;
  char buffer[INET6_ADDRSTRLEN] = {};
  text = "unknown";
  address = {};
  if (getpeername(socket, reinterpret_cast<sockaddr*>(&s), &length) != 0) return false;
  if (s.ss_family == AF_INET) {
    const in_addr& v4 = reinterpret_cast<const sockaddr_in&>(s).sin_addr;
    address = mapped(v4);
    text = inet_ntop(AF_INET, &v4, buffer, sizeof buffer);
    return true;
  }
  if (s.ss_family != AF_INET6) return false;
  const in6_addr& v6 = reinterpret_cast<const sockaddr_in6&>(s).sin6_addr;
  std::memcpy(address.data(), &v6, 16);
  text = inet_ntop(AF_INET6, &v6, buffer, sizeof buffer);
  return true;
}
