#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "net/network.h"
#include "nettest.h"
#include "support/frames.h"

namespace {

using Clock = std::chrono::steady_clock;
const unsigned char guard = 0xAB;

// A receive buffer of max bytes followed by guard bytes that no read may touch.
struct GuardedBuffer {
  explicit GuardedBuffer(int max) : max(max), bytes(max + 16, 0)
  {
    std::fill(bytes.begin() + max, bytes.end(), guard);
  }
  void* data() { return bytes.data(); }
  Bytes body(int n) const { return Bytes(bytes.begin(), bytes.begin() + n); }
  bool guardsIntact() const
  {
    return std::all_of(bytes.begin() + max, bytes.end(),
                       [](unsigned char c) { return c == guard; });
  }
  int max;
  Bytes bytes;
};

Bytes frameBytes(const std::string& body)
{
  const std::string f = frameOf(body);
  return bytesOf(f.data(), int(f.size()));
}

class Reader : public NetTest {
protected:
  void TearDown() override
  {
    cNetworkQueue::stallLimitMs = 10000;
    NetTest::TearDown();
  }
  SocketPair pair;
};

}  // namespace

TEST_F(Reader, PollingReadOfAWholeFrame)
{
  cNetworkQueue q(pair.take(pair.a));
  pair.sendBytes(hexBytes("00 11 4D 4F 56 30 30 30 30 00 03 00 04 00 05 00 06"));
  GuardedBuffer buf(64);
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), buf.max), 1);
  EXPECT_EQ(buf.body(16), hexBytes("4D 4F 56 30 30 30 30 00 03 00 04 00 05 00 06 00"));
  EXPECT_TRUE(buf.guardsIntact());
  const auto lines = linesOf("test15.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "bbytes 15");
  EXPECT_EQ(lines[1], "MOV0000 bytes 15 15");
}

TEST_F(Reader, PollingReadAnswersMinusOneQuicklyWhenNothingWaits)
{
  cNetworkQueue q(pair.take(pair.a));
  std::vector<double> micros;
  for (int i = 0; i < 51; ++i) {
    const auto start = Clock::now();
    EXPECT_EQ(q.recvMessageNonBlocking(nullptr, 10), -1);
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::nth_element(micros.begin(), micros.begin() + 25, micros.end());
  EXPECT_LT(micros[25], 1000.0);  // 10 microseconds asked, plus the system's timer slack
  EXPECT_TRUE(q.socketStatus());
  EXPECT_FALSE(descriptorOpen(-1));
}

TEST_F(Reader, BodyInPiecesIsGatheredAcrossPollsThatNeverWait)
{
  cNetworkQueue q(pair.take(pair.a));
  const Bytes frame = frameBytes("MAP0000SND and the rest");
  pair.sendBytes(Bytes(frame.begin(), frame.begin() + 8));
  GuardedBuffer buf(int(frame.size()) - 1);
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), buf.max), -1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(20));
    EXPECT_TRUE(q.framePending());
  }
  pair.sendBytes(Bytes(frame.begin() + 8, frame.end()));
  int r = -1;
  for (int i = 0; i < 1000 && r == -1; ++i) r = q.recvMessageNonBlocking(buf.data(), buf.max);
  EXPECT_EQ(r, 1);
  EXPECT_FALSE(q.framePending());
  EXPECT_EQ(q.lastBodyLength(), int(frame.size()) - 2);
  EXPECT_EQ(buf.body(int(frame.size()) - 2), Bytes(frame.begin() + 2, frame.end()));
  EXPECT_TRUE(buf.guardsIntact());
  const auto lines = linesOf("test15.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "MAP000 bytes 6 23");
  EXPECT_EQ(lines[2], "rMAP0000SND and the rest bytes 23 23");
}

// Whatever the cut, a stream fed one byte per poll yields the frames it holds, in order,
// and never a byte of the next frame inside the one before.
TEST_F(Reader, StreamFedOneBytePerPollYieldsItsFramesWhole)
{
  struct Case {
    const char* name;
    int max;
    std::vector<std::string> bodies;
    std::vector<std::string> expected;
  } cases[] = {
      {"small frames", 64, {"MOV0000abcdefgh", "CLS0000", "MSG0000\1\2\3\4x"}, {}},
      {"a body of 0 bytes between", 64, {"CLS0000", "", "REM0000abcdefgh"}, {}},
      {"longer than the buffer", 8, {"MAP0000TERxy"}, {"MAP0000T"}},
  };
  for (Case& c : cases) {
    SocketPair p;
    cNetworkQueue q(p.take(p.a));
    Bytes stream;
    for (const std::string& body : c.bodies) {
      const Bytes f = frameBytes(body);
      stream.insert(stream.end(), f.begin(), f.end());
    }
    if (c.expected.empty())
      for (const std::string& body : c.bodies)
        if (!body.empty()) c.expected.push_back(body);
    std::vector<std::string> got;
    GuardedBuffer buf(c.max);
    for (unsigned char byte : stream) {
      p.sendBytes(Bytes(1, byte));
      int r = -1;
      for (int i = 0; i < 100 && r == -1; ++i) r = q.recvMessageNonBlocking(buf.data(), c.max);
      if (r == 1)
        got.emplace_back(reinterpret_cast<const char*>(buf.bytes.data()),
                         size_t(q.lastBodyLength()));
      if (c.max >= 64) {
        EXPECT_TRUE(q.socketStatus()) << c.name;
      }
    }
    EXPECT_EQ(got, c.expected) << c.name;
    EXPECT_TRUE(buf.guardsIntact()) << c.name;
  }
}

TEST_F(Reader, FrameLargerThanTheLimitLeavesItsRestInTheStream)
{
  cNetworkQueue q(pair.take(pair.a));
  std::string body(298, 'x');
  body[256] = 0;  // the two bytes after the limit read as the next frame's length: 9
  body[257] = 9;
  body.replace(258, 7, "CLS0000");
  pair.sendBytes(frameBytes(body));
  GuardedBuffer buf(256);
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 256), 1);
  EXPECT_EQ(buf.body(256), Bytes(256, 'x'));
  EXPECT_TRUE(buf.guardsIntact());
  GuardedBuffer next(32);
  EXPECT_EQ(q.recvMessageNonBlocking(next.data(), 32), 1);
  EXPECT_EQ(next.body(7), bytesOf("CLS0000", 7));
}

TEST_F(Reader, PeerThatClosesEndsTheConnection)
{
  const int fd = pair.a;
  cNetworkQueue q(pair.take(pair.a));
  close(pair.take(pair.b));
  GuardedBuffer buf(16);
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 16), 0);
  EXPECT_FALSE(q.socketStatus());
  EXPECT_FALSE(descriptorOpen(fd));
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 16), 0);
  EXPECT_TRUE(buf.guardsIntact());
}

TEST_F(Reader, FrameLengthsZeroAndOneCountAsClosed)
{
  for (const char* length : {"00 00", "00 01"}) {
    SocketPair p;
    cNetworkQueue polled(p.take(p.a));
    p.sendBytes(hexBytes(length));
    p.sendBytes(frameBytes("CLS0000"));
    GuardedBuffer buf(16);
    EXPECT_EQ(polled.recvMessageNonBlocking(buf.data(), 16), 0) << length;
    EXPECT_FALSE(polled.socketStatus());
    EXPECT_TRUE(buf.guardsIntact());

    SocketPair b;
    cNetworkQueue blocking(b.take(b.a));
    b.sendBytes(hexBytes(length));
    EXPECT_FALSE(blocking.recvMessage(buf.data(), 16)) << length;
  }
}

TEST_F(Reader, EmptyBodyReadsAsNothingAndTheNextFrameFollows)
{
  cNetworkQueue q(pair.take(pair.a));
  pair.sendBytes(hexBytes("00 02"));
  pair.sendBytes(frameBytes("CLS0000"));
  GuardedBuffer buf(16);
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 16), 0);
  EXPECT_TRUE(q.socketStatus());
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 16), 1);
  EXPECT_EQ(buf.body(7), bytesOf("CLS0000", 7));
}

// A peer that announces a frame and then falls silent cannot hold the reader: each poll
// answers at once, and past the limit the connection counts as lost, the part that came
// being no frame of its own. A peer that closes part-way ends it at once.
TEST_F(Reader, StalledOrCutFrameEndsTheConnectionWithoutHoldingAnyPoll)
{
  struct Case {
    const char* name;
    const char* sent;
    bool closes;
  } cases[] = {
      {"stalled in the body", "00 20 41 42 43", false},
      {"stalled in the length", "00", false},
      {"stalled past the buffer", "01 00 41 42 43 44", false},
      {"closed in the body", "00 20 41 42 43", true},
      {"closed in the length", "00", true},
  };
  cNetworkQueue::stallLimitMs = 150;
  for (const Case& c : cases) {
    SocketPair p;
    const int fd = p.a;
    cNetworkQueue q(p.take(p.a));
    p.sendBytes(hexBytes(c.sent));
    if (c.closes) close(p.take(p.b));
    GuardedBuffer buf(64);
    const auto start = Clock::now();
    auto longestPoll = Clock::duration::zero();
    int r = -1;
    while (r == -1 && Clock::now() - start < std::chrono::seconds(2)) {
      const auto before = Clock::now();
      r = q.recvMessageNonBlocking(buf.data(), 64);
      longestPoll = std::max(longestPoll, Clock::now() - before);
      if (r == -1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto took = Clock::now() - start;
    EXPECT_EQ(r, 0) << c.name;
    EXPECT_FALSE(q.socketStatus()) << c.name;
    EXPECT_FALSE(descriptorOpen(fd)) << c.name;
    EXPECT_LT(longestPoll, std::chrono::milliseconds(20)) << c.name;
    EXPECT_EQ(took < std::chrono::milliseconds(100), c.closes) << c.name;
    EXPECT_EQ(took >= std::chrono::milliseconds(150), !c.closes) << c.name;
    EXPECT_TRUE(buf.guardsIntact()) << c.name;
  }
}

TEST_F(Reader, BlockingReadWaitsForTheWholeBody)
{
  cNetworkQueue q(pair.take(pair.a));
  const Bytes frame = frameBytes(std::string("REG0000OK_\0\0\0\x04", 14));
  std::thread late([&] {
    pair.sendBytes(Bytes(frame.begin(), frame.begin() + 5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pair.sendBytes(Bytes(frame.begin() + 5, frame.end()));
  });
  GuardedBuffer buf(20);
  EXPECT_TRUE(q.recvMessage(buf.data(), 20));
  late.join();
  EXPECT_EQ(buf.body(int(frame.size()) - 2), Bytes(frame.begin() + 2, frame.end()));
  EXPECT_TRUE(buf.guardsIntact());
  const auto lines = linesOf("test16.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "REG bytes 3 14");
  EXPECT_EQ(lines[1], "rREG0000OK_ bytes 14 14");
}

TEST_F(Reader, BlockingReadOfAnOversizedFrameAndOfAClosedPeer)
{
  cNetworkQueue q(pair.take(pair.a));
  pair.sendBytes(frameBytes(std::string("DNM0.26.20l", 12)));
  GuardedBuffer buf(8);
  EXPECT_TRUE(q.recvMessage(buf.data(), 8));
  EXPECT_EQ(buf.body(8), bytesOf("DNM0.26.", 8));
  EXPECT_TRUE(buf.guardsIntact());

  SocketPair closing;
  cNetworkQueue q2(closing.take(closing.a));
  closing.sendBytes(hexBytes("00 10 41"));
  close(closing.take(closing.b));
  EXPECT_FALSE(q2.recvMessage(buf.data(), 8));  // part of a body is no frame
  EXPECT_FALSE(q2.recvMessage(buf.data(), 8));
  EXPECT_TRUE(buf.guardsIntact());
}
