#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "net/message.h"
#include "nettest.h"
#include "world/damagemap.h"

namespace {

Bytes encoded(const cMessage& m) { return Frame(m.encode(), m.encodedlength()).bytes(); }

// The body of a frame in a heap block of exactly its size, so that a read past it is caught
// by the address sanitizer.
std::unique_ptr<char[]> exactBody(const Bytes& frame, int length)
{
  std::unique_ptr<char[]> body(new char[length]);
  std::memcpy(body.get(), frame.data() + 2, length);
  return body;
}

}  // namespace

TEST(Codec, SixteenBitFieldsKeepTheirLowBits)
{
  char p[3] = {0, 0, 0x55};
  cMessage::wEncode(p, -1);
  EXPECT_EQ(cMessage::wDecode(p), 65535);
  cMessage::wEncode(p, 65536 + 300);
  EXPECT_EQ(bytesOf(p, 3), hexBytes("01 2C 55"));
  EXPECT_EQ(cMessage::wDecode(p), 300);
  cMessage::wEncode(p, -3);
  EXPECT_EQ(cMessage::wDecode(p), 65533);
}

TEST(Codec, ThirtyTwoBitFieldsRoundTripEverySignedValue)
{
  char p[5] = {0, 0, 0, 0, 0x55};
  cMessage::dwEncode(p, 0x12345678L);
  EXPECT_EQ(bytesOf(p, 5), hexBytes("12 34 56 78 55"));
  for (long v : {0L, 1L, -1L, long(INT_MIN), long(INT_MAX), 0xABCDL, -70000L}) {
    cMessage::dwEncode(p, v);
    EXPECT_EQ(cMessage::dwDecode(p), v);
  }
  cMessage::dwEncode(p, -2);
  EXPECT_EQ(cMessage::bDecode(p), 0xFE);
}

TEST(Codec, HexDigitsOfEitherCaseAndNothingElse)
{
  EXPECT_EQ(cMessage::hexDecode('9'), 9);
  EXPECT_EQ(cMessage::hexDecode('a'), 10);
  EXPECT_EQ(cMessage::hexDecode('F'), 15);
  EXPECT_EQ(cMessage::hexDecode('g'), 0);
  EXPECT_EQ(cMessage::hexDecode('\0'), 0);
  EXPECT_EQ(cMessage::hexDecode('f', 'F'), 255);
  EXPECT_EQ(cMessage::hexDecode('z', 'z', '1', '2'), 0x12);
  EXPECT_EQ(cMessage::hexDecode('F', 'f', 'f', 'e'), 0xFFFE);
}

TEST(WireFormat, MoveFrame)
{
  EXPECT_EQ(encoded(cMoveMessage(0, cPoint(3, 4), cPoint(5, 6))),
            hexBytes("00 11 4D 4F 56 30 30 30 30 00 03 00 04 00 05 00 06"));
}

TEST(WireFormat, CloseFrameWritesTheTurnInLowercaseHex)
{
  EXPECT_EQ(encoded(cCloseMessage(0x1a)), hexBytes("00 09 43 4C 53 30 30 31 61"));
}

TEST(WireFormat, TurnsTravelAsTheirLowSixteenBits)
{
  EXPECT_EQ(encoded(cCloseMessage(0x12345)), hexBytes("00 09 43 4C 53 32 33 34 35"));
  EXPECT_EQ(encoded(cCloseMessage(-1)), hexBytes("00 09 43 4C 53 66 66 66 66"));
  const Bytes frame = encoded(cCloseMessage(0xbeef));
  const cDecodeMessage d(reinterpret_cast<const char*>(frame.data()) + 2, 7);
  EXPECT_EQ(d.realMessage()->getType(), mtClose);
  EXPECT_EQ(d.realMessage()->getTurn(), 0xbeef);
}

TEST(WireFormat, RegistrationReplyEncodesAndDecodes)
{
  const Bytes frame = encoded(cRegisterMessage(0, "OK_", 2));
  EXPECT_EQ(frame, hexBytes("00 10 52 45 47 30 30 30 30 4F 4B 5F 00 00 00 02"));
  auto body = exactBody(frame, 14);
  const cDecodeMessage d(body.get(), 14);
  ASSERT_EQ(d.realMessage()->getType(), mtRegister);
  const auto* r = static_cast<const cRegisterMessage*>(d.realMessage());
  EXPECT_STREQ(r->getStatus(), "OK_");
  EXPECT_EQ(r->getPlayerID(), 2);
}

TEST(WireFormat, ShortStatusIsPaddedOnTheLeftAndLongOneCut)
{
  const Bytes shortStatus = encoded(cRegisterMessage(0, "OK", -1));
  EXPECT_EQ(Bytes(shortStatus.begin() + 9, shortStatus.end()), hexBytes("20 4F 4B FF FF FF FF"));
  EXPECT_STREQ(cRegisterMessage(0, "DUPLICATE", 1).getStatus(), "DUP");
}

TEST(WireFormat, MapControlMessageHasNoLayer)
{
  EXPECT_EQ(encoded(cMapMessage(0, "???")), hexBytes("00 0C 4D 41 50 30 30 30 30 3F 3F 3F"));
}

TEST(WireFormat, TerrainOfAHundredByHundredLayer)
{
  cMapLayer layer(cPoint(100, 100));
  layer.place(cPoint(1, 0), 7);
  layer.place(cPoint(99, 99), 300);
  const Bytes frame = encoded(cMapMessage(0, "TER", &layer));
  ASSERT_EQ(frame.size(), 10016u);
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 16),
            hexBytes("27 20 4D 41 50 30 30 30 30 54 45 52 00 64 00 64"));
  EXPECT_EQ(frame[17], 7);
  EXPECT_EQ(frame[10015], 300 & 0xFF);
}

TEST(WireFormat, EmptyTerrainLayerUsesTheShortFormAndDecodesEmpty)
{
  cMapLayer empty;
  const Bytes frame = encoded(cMapMessage(0, "TER", &empty));
  EXPECT_EQ(frame, hexBytes("00 0C 4D 41 50 30 30 30 30 54 45 52"));
  auto body = exactBody(frame, 10);
  const cDecodeMessage d(body.get(), 10);
  ASSERT_EQ(d.realMessage()->getType(), mtMap);
  const auto* m = static_cast<const cMapMessage*>(d.realMessage());
  EXPECT_STREQ(m->type(), "TER");
  EXPECT_EQ(m->maplayer()->myMaxPos(), cPoint(0, 0));
}

TEST(WireFormat, TerrainCellsTravelAsSignedBytes)
{
  cMapLayer layer(cPoint(3, 2));
  layer.place(0L, 200);
  layer.place(1L, -3);
  layer.place(5L, 127);
  const Bytes frame = encoded(cMapMessage(0, "TER", &layer));
  auto body = exactBody(frame, int(frame.size()) - 2);
  const cDecodeMessage d(body.get(), int(frame.size()) - 2);
  const cMapLayer* got = static_cast<const cMapMessage*>(d.realMessage())->maplayer();
  ASSERT_EQ(got->myMaxPos(), cPoint(3, 2));
  EXPECT_EQ(got->get(0L), -56);
  EXPECT_EQ(got->get(1L), -3);
  EXPECT_EQ(got->get(2L), 0);
  EXPECT_EQ(got->get(5L), 127);
}

TEST(WireFormat, LayerLargerThanAFrameSendsTheRowsThatFit)
{
  cMapLayer layer(cPoint(300, 300));
  const cMapMessage m(0, "TER", &layer);
  EXPECT_EQ(m.encodedlength(), 16 + 300 * 218);
  const Bytes frame = encoded(m);
  EXPECT_EQ(frame.size(), size_t(16 + 300 * 218));
  EXPECT_EQ(cMessage::wDecode(reinterpret_cast<const char*>(frame.data()) + 14), 218);
}

TEST(WireFormat, VersionAnnouncement)
{
  const cVersionMessage v("0.26.20", 'l');
  const Bytes frame = Frame(v.encode(), v.encodedlength()).bytes();
  Bytes expected = {0x00, 0x0E};
  for (char c : std::string("DNM0.26.20l")) expected.push_back(c);
  expected.push_back(0);
  EXPECT_EQ(frame, expected);
}

TEST(WireFormat, VersionBodyParsesOnlyWhenLongEnough)
{
  const char body[] = "DNM0.26.20L";
  const cVersionMessage server(body, 12);
  EXPECT_STREQ(server.getVersion(), "0.26.20");
  EXPECT_EQ(server.getPlatform(), 'L');
  std::unique_ptr<char[]> shortBody(new char[10]);
  std::memcpy(shortBody.get(), body, 10);
  const cVersionMessage cut(shortBody.get(), 10);
  EXPECT_STREQ(cut.getVersion(), "");
  EXPECT_EQ(cut.getPlatform(), 0);
  EXPECT_STREQ(cVersionMessage("0.26.20-extra", 'l').getVersion(), "0.26.20");
}

TEST(WireFormat, DamageAreaCarriesLevelThenSize)
{
  cDamage shot(7, 3);
  const Bytes frame =
      encoded(cDamageAreaMessage(0, cPoint(10, 11), shot.getSize(), shot.getLevel()));
  EXPECT_EQ(frame, hexBytes("00 11 44 41 4D 30 30 30 30 00 0A 00 0B 00 07 00 03"));
  auto body = exactBody(frame, 15);
  const cDecodeMessage d(body.get(), 15);
  const auto* m = static_cast<const cDamageAreaMessage*>(d.realMessage());
  EXPECT_EQ(m->getSize(), 3);
  EXPECT_EQ(m->getLevel(), 7);
  EXPECT_EQ(m->getCenter(), cPoint(10, 11));
}

TEST(WireFormat, TextMessageLayout)
{
  const Bytes frame = encoded(cTextMessage(0, 258, "hi"));
  EXPECT_EQ(frame, hexBytes("00 10 4D 53 47 30 30 30 30 00 00 01 02 00 68 69"));
  const std::string huge(70000, 'x');
  const cTextMessage cut(0, 1, huge.c_str());
  EXPECT_EQ(cut.encodedlength(), 65535);
  EXPECT_EQ(std::strlen(cut.getMessage()), 65521u);
}

namespace {

bool isNeutralMove(const cDecodeMessage& d)
{
  if (d.realMessage()->getType() != mtMove) return false;
  const auto* m = static_cast<const cMoveMessage*>(d.realMessage());
  return m->getTurn() == 0 && m->from() == cPoint(0, 0) && m->to() == cPoint(0, 0);
}

bool decodesNeutral(const char* text, int length)
{
  std::unique_ptr<char[]> body(new char[length]);
  std::memcpy(body.get(), text, length);
  return isNeutralMove(cDecodeMessage(body.get(), length));
}

// One message of every kind that the decoder knows, with every field set.
std::vector<std::unique_ptr<cMessage>> everyDecodedKind()
{
  std::vector<std::unique_ptr<cMessage>> all;
  const cBaseObject tower(4, 77, cPoint(12, 13), cIsoPoint(2, 3, 9), 450);
  const cBaseUnit tank(2, -5, cPoint(65535, 1), cIsoPoint(1, 1, 1), 90);
  all.emplace_back(new cMoveMessage(0x11, cPoint(3, 4), cPoint(5, 6)));
  all.emplace_back(new cRegisterMessage(0x22, "DUP", 123456789));
  all.emplace_back(new cMapMessage(0x33, "SND"));
  all.emplace_back(new cCreateObjectMessage(0x44, &tower));
  all.emplace_back(new cRemoveMessage(0x55, cRect(1, 2, 3, 4)));
  all.emplace_back(new cMapSetMessage(0x66, cRect(5, 6, 7, 8), 9));
  all.emplace_back(new cDamageHealMessage(0x77, 3, cPoint(20, 21), -40));
  all.emplace_back(new cDamageAreaMessage(0x88, cPoint(30, 31), 2, 15));
  all.emplace_back(new cCreateUnitMessage(0x99, &tank));
  all.emplace_back(new cCloseMessage(0xaa));
  return all;
}

}  // namespace

TEST(Decode, ShortAndUnknownBodiesGiveTheNeutralMove)
{
  EXPECT_TRUE(isNeutralMove(cDecodeMessage(nullptr, 0)));
  EXPECT_TRUE(decodesNeutral("MO", 2));
  EXPECT_TRUE(decodesNeutral("GET0001\0\x05\0\x06", 11));
  EXPECT_TRUE(decodesNeutral("DNM0.26.20l", 12));
  EXPECT_TRUE(decodesNeutral("mov0000", 7));
  EXPECT_TRUE(decodesNeutral("XYZ0001abcdefgh", 15));
}

// A text is never a move: its sender and text come back, however short or odd the body.
TEST(Decode, TextBodiesGiveTheirSenderAndText)
{
  const struct {
    std::string body;
    long sender;
    std::string text;
  } cases[] = {
      {std::string("MSG0000\0\0\0\x01\0hello", 17), 1, "hello"},
      {std::string("MSG0000\xff\xff\xff\xff\0server: bye", 23), -1, "server: bye"},
      {std::string("MSG0000\0\0\0\x02\0", 12), 2, ""},
      {std::string("MSG0000\0\0", 9), 0, ""},  // cut inside the sender
      {std::string("MSG0000\0\0\0\x03\0a\0b", 15), 3, "a"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<char[]> body(new char[c.body.size()]);  // nothing readable past it
    std::memcpy(body.get(), c.body.data(), c.body.size());
    const cDecodeMessage d(body.get(), int(c.body.size()));
    ASSERT_EQ(d.realMessage()->getType(), mtText) << c.text;
    const auto* m = static_cast<const cTextMessage*>(d.realMessage());
    EXPECT_EQ(m->getPlayerID(), c.sender) << c.text;
    EXPECT_EQ(std::string(m->getMessage()), c.text);
  }
}

TEST(Decode, DamagedTurnDigitsReadAsZero)
{
  const Bytes frame = encoded(cMoveMessage(0, cPoint(1, 2), cPoint(3, 4)));
  Bytes body(frame.begin() + 2, frame.end());
  body[3] = 'z';
  body[4] = 'z';
  body[5] = '1';
  body[6] = '2';
  const cDecodeMessage d(reinterpret_cast<const char*>(body.data()), int(body.size()));
  ASSERT_EQ(d.realMessage()->getType(), mtMove);
  EXPECT_EQ(d.realMessage()->getTurn(), 0x12);
  EXPECT_EQ(static_cast<const cMoveMessage*>(d.realMessage())->to(), cPoint(3, 4));
}

// Every prefix of every kind decodes as the whole body would with the missing bytes zero,
// read from a block of exactly the prefix's size.
TEST(Decode, ShortBodiesReadAsIfTheMissingBytesWereZero)
{
  for (const auto& m : everyDecodedKind()) {
    const Bytes frame = encoded(*m);
    const int full = int(frame.size()) - 2;
    for (int length = 0; length <= full; ++length) {
      Bytes padded(frame.begin() + 2, frame.end());
      std::fill(padded.begin() + length, padded.end(), 0);
      const cDecodeMessage expected(reinterpret_cast<const char*>(padded.data()), full);
      auto body = exactBody(frame, length);
      const cDecodeMessage got(body.get(), length);
      SCOPED_TRACE(std::string(reinterpret_cast<const char*>(frame.data()) + 2, 3) + " length " +
                   std::to_string(length));
      if (length < 3) {
        EXPECT_TRUE(isNeutralMove(got));
        continue;
      }
      EXPECT_EQ(encoded(got), encoded(expected));
    }
    const auto body = exactBody(frame, full);
    EXPECT_EQ(encoded(cDecodeMessage(body.get(), full)), frame);
  }
}

TEST(Decode, TerrainNeverLargerThanTheCellsCarried)
{
  struct Case {
    int width, height, carried;
    cPoint expected;
  };
  for (const Case& c : {Case{100, 100, 250, cPoint(100, 2)}, Case{100, 100, 99, cPoint(0, 0)},
                        Case{65535, 65535, 10, cPoint(0, 0)}, Case{5, 65535, 23, cPoint(5, 4)},
                        Case{0, 65535, 40, cPoint(0, 0)}, Case{4, 0, 40, cPoint(0, 0)},
                        Case{2, 3, 60, cPoint(2, 3)}}) {
    const int length = 14 + c.carried;
    std::unique_ptr<char[]> body(new char[length]);
    std::memcpy(body.get(), "MAP0000TER", 10);
    cMessage::wEncode(body.get() + 10, c.width);
    cMessage::wEncode(body.get() + 12, c.height);
    std::memset(body.get() + 14, 1, c.carried);
    const cDecodeMessage d(body.get(), length);
    const auto* layer = static_cast<const cMapMessage*>(d.realMessage())->maplayer();
    EXPECT_EQ(layer->myMaxPos(), c.expected) << c.width << "x" << c.height << " " << c.carried;
    if (c.expected.x > 0) {
      EXPECT_EQ(layer->get(long(c.expected.x * c.expected.y - 1)), 1);
    }
  }
}

TEST(Decode, MapTransferMarksCarryNoLayerWhateverFollows)
{
  for (const char* type : {"???", "/x/", "REC", "SND", "///"}) {
    std::unique_ptr<char[]> body(new char[24]());
    std::memcpy(body.get(), "MAP0000", 7);
    std::memcpy(body.get() + 7, type, 3);
    cMessage::wEncode(body.get() + 10, 2);
    cMessage::wEncode(body.get() + 12, 2);
    const cDecodeMessage d(body.get(), 24);
    const auto* m = static_cast<const cMapMessage*>(d.realMessage());
    EXPECT_EQ(std::string(m->type()), std::string(type, 3));
    EXPECT_EQ(m->maplayer()->myMaxPos(), cPoint(0, 0));
    EXPECT_EQ(m->encodedlength(), 12);
  }
}

TEST(Decode, HealthChangeIsSigned)
{
  for (int change : {-32768, -5, -1, 0, 7, 32767}) {
    const Bytes frame = encoded(cDamageHealMessage(0, 2, cPoint(3, 4), change));
    const std::string body(frame.begin() + 2, frame.end());
    const cDecodeMessage d(body.data(), int(body.size()));
    const auto* m = static_cast<const cDamageHealMessage*>(d.realMessage());
    EXPECT_EQ(m->getChange(), change);
  }
}
