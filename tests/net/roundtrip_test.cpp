#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "net/message.h"
#include "net/network.h"
#include "nettest.h"

namespace {

const unsigned char guard = 0xAB;

std::vector<std::function<cMessage*()>> everyKind()
{
  return {
      [] { return new cMoveMessage(1, cPoint(3, 4), cPoint(65535, 0)); },
      [] {
        cMapLayer terrain(cPoint(100, 100));
        terrain.fill(cRect(10, 10, 20, 30), 3);
        return new cMapMessage(2, "TER", &terrain);
      },
      [] { return new cMapMessage(3, "REC"); },
      [] { return new cMapSetMessage(4, cRect(1, 2, 30, 40), 5); },
      [] { return new cMapGetMessage(5, cPoint(7, 8)); },
      [] {
        const cBaseUnit u(3, 1234567, cPoint(40, 41), cIsoPoint(1, 2, 3), 55);
        return new cCreateUnitMessage(6, &u);
      },
      [] {
        const cBaseObject o(9, -1, cPoint(50, 51), cIsoPoint(3, 3, 2), 1000);
        return new cCreateObjectMessage(7, &o);
      },
      [] { return new cDamageHealMessage(8, 2, cPoint(9, 10), -25); },
      [] { return new cDamageAreaMessage(9, cPoint(11, 12), 2, 30); },
      [] { return new cRemoveMessage(10, cRect(13, 14, 15, 16)); },
      [] { return new cRegisterMessage(11, "DUP", 7); },
      [] { return new cTextMessage(12, 3, "hello there"); },
      [] { return new cCloseMessage(13); },
  };
}

// Sends a frame through a real socket pair and reads its body back into a buffer of
// exactly max bytes followed by guard bytes.
Bytes throughSockets(const Bytes& frame, int max, bool polling)
{
  SocketPair pair;
  cNetworkQueue sender(pair.take(pair.a));
  cNetworkQueue receiver(pair.take(pair.b));
  char* copy = new char[frame.size()];
  std::copy(frame.begin(), frame.end(), copy);
  sender.addToQueue(copy, int(frame.size()));
  sender.processQueue();
  Bytes buffer(max + 16, guard);
  std::fill(buffer.begin(), buffer.begin() + max, 0);
  const bool read = polling ? receiver.recvMessageNonBlocking(buffer.data(), max) == 1
                            : receiver.recvMessage(buffer.data(), max);
  EXPECT_TRUE(read);
  EXPECT_TRUE(
      std::all_of(buffer.begin() + max, buffer.end(), [](unsigned char c) { return c == guard; }));
  buffer.resize(max);
  return buffer;
}

class RoundTrip : public NetTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

// Every kind the decoder knows comes back byte for byte; the one it does not know ("GET")
// arrives intact and decodes to the neutral move.
TEST_P(RoundTrip, EveryMessageKindThroughASocketPair)
{
  for (const auto& make : everyKind()) {
    const std::unique_ptr<cMessage> sent(make());
    const Bytes frame = Frame(sent->encode(), sent->encodedlength()).bytes();
    const int bodyLength = int(frame.size()) - 2;
    const Bytes body = throughSockets(frame, bodyLength + 1, GetParam());
    SCOPED_TRACE(std::string(body.begin(), body.begin() + 3));
    EXPECT_TRUE(std::equal(frame.begin() + 2, frame.end(), body.begin()));
    const cDecodeMessage decoded(reinterpret_cast<const char*>(body.data()), bodyLength);
    const cMessage* got = decoded.realMessage();
    if (sent->getType() == mtMapGet) {
      EXPECT_EQ(got->getType(), mtMove);
      EXPECT_EQ(got->getTurn(), 0);
      continue;
    }
    EXPECT_EQ(got->getType(), sent->getType());
    EXPECT_EQ(got->getTurn(), sent->getTurn());
    EXPECT_EQ(Frame(decoded.encode(), decoded.encodedlength()).bytes(), frame);
  }
}

TEST_P(RoundTrip, CreatedObjectsKeepTheirFigures)
{
  const cBaseUnit u(3, -7, cPoint(40, 41), cIsoPoint(1, 2, 3), 55);
  const cCreateUnitMessage m(0, &u);
  const Bytes body = throughSockets(Frame(m.encode(), m.encodedlength()).bytes(), 24, GetParam());
  const cDecodeMessage decoded(reinterpret_cast<const char*>(body.data()), 23);
  ASSERT_EQ(decoded.realMessage()->getType(), mtCreateUnit);
  const cBaseUnit* got = static_cast<const cCreateUnitMessage*>(decoded.realMessage())->getUnit();
  EXPECT_EQ(got->myID(), 3);
  EXPECT_EQ(got->getPlayerID(), -7);
  EXPECT_EQ(got->myPosition(), cPoint(40, 41));
  EXPECT_EQ(got->myDim().toPoint(), cPoint(1, 2));
  EXPECT_EQ(got->myDim().z, 0);  // the height is not carried
  EXPECT_EQ(got->getHealth(), 55);
  EXPECT_EQ(got->myObjectType(), 1);
}

TEST_P(RoundTrip, VersionAnnouncement)
{
  const cVersionMessage v("0.26.20", 'L');
  const Bytes body = throughSockets(Frame(v.encode(), v.encodedlength()).bytes(), 13, GetParam());
  const cVersionMessage got(reinterpret_cast<const char*>(body.data()), 12);
  EXPECT_STREQ(got.getVersion(), "0.26.20");
  EXPECT_EQ(got.getPlatform(), 'L');
  EXPECT_EQ(body[11], 0);
}

INSTANTIATE_TEST_SUITE_P(Readers, RoundTrip, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Polling" : "Blocking"; });
