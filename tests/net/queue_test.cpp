#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstring>
#include <thread>

#include "net/message.h"
#include "net/network.h"
#include "nettest.h"
#include "support/frames.h"

namespace {

char* copyOf(const char* text)
{
  char* p = new char[std::strlen(text) + 1];
  std::strcpy(p, text);
  return p;
}

char* copyOfBytes(const std::string& bytes)
{
  char* p = new char[bytes.size()];
  std::memcpy(p, bytes.data(), bytes.size());
  return p;
}

void queueFrame(cQueue& q, const cMessage& m) { q.addToQueue(m.encode(), m.encodedlength()); }

}  // namespace

TEST(Queue, KeepsOrderAndCountsItsNodes)
{
  cQueue q;
  EXPECT_TRUE(q.isEmpty());
  EXPECT_EQ(q.number(), 0);
  char text[] = "first";
  q.addToQueue(text);
  text[0] = 'X';  // the queue holds its own copy
  q.addToQueue(copyOf("second"), 6);
  q.addToQueue("");
  EXPECT_EQ(q.number(), 3);
  EXPECT_STREQ(q.head->myData(), "first");
  EXPECT_EQ(q.head->myLength(), 5);
  EXPECT_STREQ(q.head->getNext()->myData(), "second");
  EXPECT_EQ(q.tail->myLength(), 0);
  cQueueNode* front = q.head;
  q.head = front->getNext();
  delete front;
  EXPECT_EQ(q.number(), 2);
}

class NetworkQueue : public NetTest {};

TEST_F(NetworkQueue, FlushSendsFramesInOrderAndEmptiesTheQueue)
{
  SocketPair pair;
  cNetworkQueue q(pair.take(pair.a));
  queueFrame(q, cMoveMessage(0, cPoint(3, 4), cPoint(5, 6)));
  queueFrame(q, cCloseMessage(0x1a));
  queueFrame(q, cMapMessage(0, "???"));
  q.processQueue();
  EXPECT_TRUE(q.isEmpty());
  EXPECT_EQ(pair.readBytes(17 + 9 + 12),
            hexBytes("00 11 4D 4F 56 30 30 30 30 00 03 00 04 00 05 00 06 "
                     "00 09 43 4C 53 30 30 31 61 "
                     "00 0C 4D 41 50 30 30 30 30 3F 3F 3F"));
  const auto lines = linesOf("test17.txt");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Processing Queue 17        MOV0000");
  EXPECT_EQ(lines[1], "encoded blah!: ok - 17");
  EXPECT_EQ(lines[2], "Processing Queue 9 CLS001a");
  EXPECT_EQ(lines[4], "Processing Queue 12 MAP0000???");
}

TEST_F(NetworkQueue, PlainTextGoesOutWithoutALength)
{
  SocketPair pair;
  cNetworkQueue q(pair.take(pair.a));
  q.addToQueue("LST");
  q.processQueue();
  EXPECT_EQ(pair.readBytes(3), hexBytes("4C 53 54"));
  const auto lines = linesOf("test17.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Processing Queue 3 T");
  EXPECT_EQ(lines[1], "encoded blah!: 3 != 19539");
}

TEST_F(NetworkQueue, WithoutASocketNothingIsSentAndEverythingStays)
{
  cNetworkQueue q(0);
  EXPECT_FALSE(q.socketStatus());
  queueFrame(q, cCloseMessage(0));
  queueFrame(q, cCloseMessage(1));
  q.processQueue();
  EXPECT_EQ(q.number(), 2);
  EXPECT_EQ(q.recvMessageNonBlocking(nullptr, 10), 0);
  EXPECT_FALSE(q.recvMessage(nullptr, 10));
  SocketPair pair;
  q.setSocket(pair.take(pair.a));  // attached again: the next flush sends them
  q.processQueue();
  EXPECT_EQ(pair.readBytes(18), hexBytes("00 09 43 4C 53 30 30 30 30 00 09 43 4C 53 30 30 30 31"));
}

// A descriptor that takes the frame only in parts (small buffer, does not block): the flush
// keeps sending until the slow reader has every byte.
TEST_F(NetworkQueue, ShortSendsAreContinued)
{
  SocketPair pair;
  const int small = 4096;
  setsockopt(pair.a, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
  fcntl(pair.a, F_SETFL, fcntl(pair.a, F_GETFL) | O_NONBLOCK);
  cMapLayer layer(cPoint(300, 300));
  for (long i = 0; i < 300L * 218; ++i) layer.place(i, int(i % 251));
  const cMapMessage big(0, "TER", &layer);
  const Bytes expected = Frame(big.encode(), big.encodedlength()).bytes();
  Bytes received;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    received = pair.readBytes(int(expected.size()) + 9);
  });
  cNetworkQueue q(pair.take(pair.a));
  queueFrame(q, big);
  queueFrame(q, cCloseMessage(0));
  q.processQueue();
  reader.join();
  EXPECT_TRUE(q.socketStatus());
  EXPECT_TRUE(q.isEmpty());
  ASSERT_EQ(received.size(), expected.size() + 9);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), received.begin()));
  EXPECT_EQ(Bytes(received.end() - 9, received.end()), hexBytes("00 09 43 4C 53 30 30 30 30"));
}

// The failed node is dropped and the rest stays; the descriptor is closed then and never
// again (the number it had is reused by a new descriptor that must survive the queue).
TEST_F(NetworkQueue, LostConnectionClosesTheDescriptorExactlyOnce)
{
  SocketPair pair;
  const int fd = pair.a;
  auto q = std::make_unique<cNetworkQueue>(pair.take(pair.a));
  close(pair.take(pair.b));
  queueFrame(*q, cCloseMessage(0));
  queueFrame(*q, cCloseMessage(1));
  queueFrame(*q, cCloseMessage(2));
  q->processQueue();
  EXPECT_FALSE(q->socketStatus());
  EXPECT_EQ(q->number(), 2);
  EXPECT_FALSE(descriptorOpen(fd));
  const int reused = dup(STDERR_FILENO);
  ASSERT_EQ(reused, fd);
  q->disconnectQueue();
  q.reset();
  EXPECT_TRUE(descriptorOpen(reused));
  close(reused);
}

TEST_F(NetworkQueue, DisconnectShutsDownAndClosesOnce)
{
  SocketPair pair;
  const int fd = pair.a;
  cNetworkQueue q(pair.take(pair.a));
  q.disconnectQueue();
  EXPECT_FALSE(q.socketStatus());
  EXPECT_FALSE(descriptorOpen(fd));
  char c;
  EXPECT_EQ(recv(pair.b, &c, 1, 0), 0);  // the peer sees the end of the stream
  const int reused = dup(STDERR_FILENO);
  ASSERT_EQ(reused, fd);
  q.disconnectQueue();
  EXPECT_TRUE(descriptorOpen(reused));
  close(reused);
}

TEST_F(NetworkQueue, DestructionClosesAHeldDescriptorButNotADetachedOne)
{
  SocketPair pair;
  const int held = pair.a;
  const int detached = pair.b;
  {
    cNetworkQueue owner(pair.take(pair.a));
    cNetworkQueue borrower(detached);
    borrower.setSocket(0);
  }
  EXPECT_FALSE(descriptorOpen(held));
  EXPECT_TRUE(descriptorOpen(detached));
}

// A peer that stops reading cannot hold a queue that never waits: each flush returns at once
// with the rest kept, what the peer later reads is the frames whole and in order, and a peer
// that never reads again costs the connection after the stall limit.
TEST_F(NetworkQueue, FlushThatNeverWaitsKeepsWhatThePeerCannotTakeYet)
{
  SocketPair pair;
  int size = 4096;
  setsockopt(pair.a, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  cNetworkQueue q(pair.take(pair.a));
  q.setSendWithoutWaiting(true);
  std::string sent;
  for (int i = 0; i < 200; ++i) {
    const std::string frame = frameOf("MSG0000" + std::string(1000, char('a' + i % 26)));
    sent += frame;
    q.addToQueue(copyOfBytes(frame), int(frame.size()));
    const auto start = std::chrono::steady_clock::now();
    q.processQueue();
    // A flush that waited would block for the stall limit (10 s); a loaded machine may
    // still hold a flush back for a while.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  }
  EXPECT_FALSE(q.isEmpty());
  std::string received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (received.size() < sent.size() && std::chrono::steady_clock::now() < deadline) {
    char buffer[8192];
    const ssize_t r = recv(pair.b, buffer, sizeof buffer, MSG_DONTWAIT);
    if (r > 0) received.append(buffer, size_t(r));
    if (r <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    q.processQueue();
  }
  EXPECT_TRUE(received == sent);
  EXPECT_TRUE(q.isEmpty());

  cNetworkQueue::stallLimitMs = 100;
  for (int i = 0; i < 2000 && q.socketStatus(); ++i) {
    q.addToQueue(copyOfBytes(sent.substr(0, 1009)), 1009);
    q.processQueue();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  cNetworkQueue::stallLimitMs = 10000;
  EXPECT_FALSE(q.socketStatus());
}
