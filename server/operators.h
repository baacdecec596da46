#ifndef KORVANE_SERVER_OPERATORS_H
#define KORVANE_SERVER_OPERATORS_H
// The addresses whose connections may stop the server. IPv4 and IPv6 addresses compare as
// one kind: 127.0.0.1 matches a peer seen as ::ffff:127.0.0.1.
#include <array>
#include <string>
#include <vector>

class cOperatorAddresses {
public:
  using cAddress = std::array<unsigned char, 16>;  // IPv6, IPv4 mapped into it

  cOperatorAddresses();  // 127.0.0.1 and ::1
  // Replaces the list; texts that are no address are skipped. An empty list keeps the
  // defaults.
  void set(const std::vector<std::string>& texts);
  // A numeric IPv4 or IPv6 address into a; false (a untouched) for anything else.
  static bool parse(const char* text, cAddress& a);
  static bool isAddress(const char* text);

  bool contains(const cAddress& a) const;

private:
  std::vector<cAddress> addresses;
};

// The peer of a connected socket: its address and the text for it ("127.0.0.1", "::1");
// false (and the text "unknown") when the socket has none.
bool peerOf(int socket, cOperatorAddresses::cAddress& address, std::string& text);

#endif
