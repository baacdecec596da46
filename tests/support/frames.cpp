#include "support/frames.h"

#include "net/message.h"
#include "net/protocol.h"

std::string frameOf(const std::string& body)
{
  const size_t n = body.size() + 2;
  return std::string{char(n >> 8), char(n & 255)} + body;
}

std::string frameOf(const cMessage& m)
{
  char* data = m.encode();
  std::string frame(data, size_t(m.encodedlength()));
  delete[] data;
  return frame;
}

std::string versionFrame()
{
  const cVersionMessage v(protocolVersion, 'l');
  char* data = v.encode();
  std::string frame(data, size_t(v.encodedlength()));
  delete[] data;
  return frame;
}
