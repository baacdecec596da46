#ifndef KORVANE_TESTS_SUPPORT_FRAMES_H
#define KORVANE_TESTS_SUPPORT_FRAMES_H
// Frames as the bytes a peer sends: two big-endian length bytes, then the body.
#include <string>

class cMessage;

std::string frameOf(const std::string& body);
std::string frameOf(const cMessage& m);  // the message's own encoding
std::string versionFrame();              // the client's version announcement

#endif
