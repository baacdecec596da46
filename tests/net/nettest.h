#ifndef KORVANE_TESTS_NET_NETTEST_H
#define KORVANE_TESTS_NET_NETTEST_H
// Helpers shared by the network tests: a private working directory (the readers and the
// flush append trace files to the current directory), socket pairs and byte comparisons.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/testdirectory.h"

using Bytes = std::vector<unsigned char>;

// Each test runs in a fresh temporary directory, removed afterwards.
class NetTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override { directory.reset(); }
  std::unique_ptr<cTestDirectory> directory;
};

Bytes bytesOf(const char* p, int n);
Bytes hexBytes(const char* hex);  // "00 11 4D"
std::string readFile(const char* name);
std::vector<std::string> linesOf(const char* name);

// A connected stream socket pair; both ends are closed by the destructor unless taken.
struct SocketPair {
  SocketPair();
  ~SocketPair();
  int take(int& end);  // hands an end over: the pair will not close it
  void sendBytes(const Bytes& b) const;
  Bytes readBytes(int n) const;  // from b, waiting at most 2 seconds
  int a = -1;                    // given to the queue under test
  int b = -1;                    // the test's end
};

bool descriptorOpen(int fd);
int openDescriptorCount();

// Owns a frame from encode().
struct Frame {
  explicit Frame(char* p, int n) : data(p), length(n) {}
  ~Frame() { delete[] data; }
  Bytes bytes() const { return bytesOf(data, length); }
  char* data;
  int length;
};

#endif
