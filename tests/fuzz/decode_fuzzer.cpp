// Arbitrary frame bodies through the decoder and the version parser. The body lies in a
// block of exactly its size, so any read past it is caught by the address sanitizer; the
// decoded message is encoded again to exercise what the decoder built.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "net/message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > 65533) return 0;  // no frame body is longer
  const int length = int(size);
  std::unique_ptr<char[]> body(new char[size]);
  if (size) std::memcpy(body.get(), data, size);

  const cDecodeMessage decoded(body.get(), length);
  const int frameLength = decoded.encodedlength();
  if (frameLength < 9 || frameLength > 65535) __builtin_trap();
  delete[] decoded.encode();

  const cVersionMessage version(body.get(), length);
  if (std::strlen(version.getVersion()) > 7) __builtin_trap();
  delete[] version.encode();
  return 0;
}
