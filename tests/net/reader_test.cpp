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

TEST_F(Reader, BodyInTwoPiecesIsAssembledBeforeReturning)
{
  cNetworkQueue q(pair.take(pair.a));
  const Bytes frame = frameBytes("MAP0000SND and the rest");
  pair.sendBytes(Bytes(frame.begin(), frame.begin() + 8));
  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pair.sendBytes(Bytes(frame.begin() + 8, frame.end()));
  });
  GuardedBuffer buf(int(frame.size()) - 1);
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), buf.max), 1);
  late.join();
  EXPECT_EQ(buf.body(int(frame.size()) - 2), Bytes(frame.begin() + 2, frame.end()));
  EXPECT_TRUE(buf.guardsIntact());
  const auto lines = linesOf("test15.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "MAP000 bytes 6 23");
  EXPECT_EQ(lines[2], "rMAP0000SND and the rest bytes 23 23");
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

// A peer that announces a frame and then falls silent cannot hold the reader: past the
// limit the connection counts as lost, and the part that came is no frame of its own.
TEST_F(Reader, StalledFrameEndsTheConnection)
{
  cNetworkQueue::stallLimitMs = 100;
  cNetworkQueue q(pair.take(pair.a));
  pair.sendBytes(hexBytes("00 20 41 42 43"));
  GuardedBuffer buf(64);
  const auto start = Clock::now();
  EXPECT_EQ(q.recvMessageNonBlocking(buf.data(), 64), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(q.socketStatus());

  SocketPair half;
  cNetworkQueue q2(half.take(half.a));
  half.sendBytes(hexBytes("00"));
  EXPECT_EQ(q2.recvMessageNonBlocking(buf.data(), 64), 0);
  EXPECT_FALSE(q2.socketStatus());

  SocketPair oversized;  // longer than the buffer, and cut short before the buffer is full
  cNetworkQueue q3(oversized.take(oversized.a));
  oversized.sendBytes(hexBytes("01 00 41 42 43 44"));
  EXPECT_EQ(q3.recvMessageNonBlocking(buf.data(), 64), 0);
  EXPECT_FALSE(q3.socketStatus());
  EXPECT_TRUE(buf.guardsIntact());
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
