#ifndef KORVANE_NET_PROTOCOL_H
#define KORVANE_NET_PROTOCOL_H
// What client and server agree on before the first frame: the version both announce and the
// port the server listens on unless told otherwise.

constexpr const char* protocolVersion = "0.26.20";
constexpr int defaultPort = 15201;

// A port written as decimal digits only, 1 to 65535 (leading zeros allowed); false for
// anything else (signs, spaces, other characters, empty or null text), port untouched then.
bool parsePort(const char* text, int& port);

#endif
