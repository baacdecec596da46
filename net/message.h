#ifndef KORVANE_NET_MESSAGE_H
#define KORVANE_NET_MESSAGE_H
// Network messages and their frames. A frame is a 16-bit big-endian total length followed by
// the body: a three-letter tag, the turn as four lowercase hex digits, then big-endian fields.
// encode() returns a new[] array of encodedlength() + 1 bytes that the caller owns; turns and
// player IDs travel as their low 16 and 32 bits.
#include <cstddef>
#include <memory>

#include "world/cunit.h"
#include "world/maplayer.h"
#include "world/pointutil.h"

// Copies at most n characters of a possibly null text and zero-terminates the copy: to must
// hold n + 1 bytes.
void copyText(char* to, const char* from, size_t n);

enum eMessageType {
  mtDecoded = 0,
  mtMove = 1,
  mtMap = 2,
  mtMapSet = 3,
  mtMapGet = 4,
  mtCreateUnit = 5,
  mtCreateObject = 6,
  mtDamageHeal = 7,
  mtDamageArea = 8,
  mtRemove = 9,
  mtRegister = 10,
  mtText = 11,
  mtClose = 12
};

class cMessage {
public:
  cMessage(eMessageType type, long turn) : type(type), turn(turn) {}
  virtual ~cMessage() = default;
  cMessage(const cMessage&) = delete;
  cMessage& operator=(const cMessage&) = delete;

  virtual eMessageType getType() const { return type; }
  virtual long getTurn() const { return turn; }
  virtual char* encode() const = 0;
  virtual int encodedlength() const = 0;

  static void wEncode(char* p, int v);
  static void dwEncode(char* p, long v);
  static void bEncode(char* p, int v);
  static int wDecode(const char* p);    // 0..65535
  static long dwDecode(const char* p);  // signed 32-bit
  static int bDecode(const char* p);    // p[3], the low byte of a 32-bit field
  static int hexDecode(char c);         // 0 for anything but a hex digit
  static int hexDecode(char c1, char c2);
  static int hexDecode(char c1, char c2, char c3, char c4);

protected:
  // A zeroed frame of encodedlength() + 1 bytes with its length, tag and turn filled in.
  char* startFrame(const char* tag) const;

  eMessageType type;
  long turn;
};

class cMoveMessage : public cMessage {
public:
  cMoveMessage(long turn, cPoint from, cPoint to);
  cPoint from() const { return fromPos; }
  cPoint to() const { return toPos; }
  char* encode() const override;
  int encodedlength() const override { return 17; }

private:
  cPoint fromPos, toPos;
};

// A map transfer step ("???", "SND", "REC", "///") or a whole layer ("TER").
class cMapMessage : public cMessage {
public:
  cMapMessage(long turn, const char* mapType);
  cMapMessage(long turn, const char* mapType, const cMapLayer* layer);  // copies the layer
  // A received layer: the size its frame declared, of which layer holds what arrived.
  cMapMessage(long turn, const char* mapType, const cMapLayer* layer, cPoint declared);
  const char* type() const { return mapType; }
  // Whether the message holds a layer of at least one cell, every row its frame declared.
  bool carriesWholeLayer() const { return layer.isValid() && layer.myMaxPos() == declared; }
  cMapLayer* maplayer() { return &layer; }
  const cMapLayer* maplayer() const { return &layer; }
  char* encode() const override;
  int encodedlength() const override;

private:
  int rowsCarried() const;  // the layer's rows that fit one frame; 0 sends no layer

  cMapLayer layer;
  cPoint declared;
  char mapType[4] = {};
};

class cMapSetMessage : public cMessage {
public:
  cMapSetMessage(long turn, cRect area, int newType);
  cRect getArea() const { return area; }
  int getNewType() const { return newType; }
  char* encode() const override;
  int encodedlength() const override { return 19; }

private:
  cRect area;
  int newType;
};

class cMapGetMessage : public cMessage {
public:
  cMapGetMessage(long turn, cPoint p);
  cPoint thePoint() const { return point; }
  char* encode() const override;
  int encodedlength() const override { return 13; }

private:
  cPoint point;
};

// A building coming into being; the message owns a copy of the building's figures.
class cCreateObjectMessage : public cMessage {
public:
  cCreateObjectMessage(long turn, const cBaseObject* obj);
  cBaseObject* getObject() const { return object.get(); }
  char* encode() const override;
  int encodedlength() const override { return 25; }

private:
  std::unique_ptr<cBaseObject> object;
};

// A unit coming into being; the message owns a copy of the unit's figures.
class cCreateUnitMessage : public cMessage {
public:
  cCreateUnitMessage(long turn, const cBaseUnit* u);
  cBaseUnit* getUnit() const { return unit.get(); }
  char* encode() const override;
  int encodedlength() const override { return 25; }

private:
  std::unique_ptr<cBaseUnit> unit;
};

class cDamageHealMessage : public cMessage {
public:
  // objectID is the object's kind; a positive change lowers its health.
  cDamageHealMessage(long turn, int objectID, cPoint pos, int change);
  int getObjectID() const { return objectID; }
  cPoint getPos() const { return pos; }
  int getChange() const { return change; }
  char* encode() const override;
  int encodedlength() const override { return 17; }

private:
  int objectID;
  cPoint pos;
  int change;
};

class cDamageAreaMessage : public cMessage {
public:
  cDamageAreaMessage(long turn, cPoint center, int size, int level);
  cPoint getCenter() const { return center; }
  int getSize() const { return size; }
  int getLevel() const { return level; }
  char* encode() const override;
  int encodedlength() const override { return 17; }

private:
  cPoint center;
  int size;
  int level;
};

class cRemoveMessage : public cMessage {
public:
  cRemoveMessage(long turn, cRect area);
  cRect getArea() const { return area; }
  char* encode() const override;
  int encodedlength() const override { return 17; }

private:
  cRect area;
};

// The server's reply to a registration: status "OK_" or "DUP" and the player's ID.
class cRegisterMessage : public cMessage {
public:
  cRegisterMessage(long turn, const char* status, long playerID);  // status cut to 3 characters
  long getPlayerID() const { return playerID; }
  const char* getStatus() const { return status; }
  char* encode() const override;
  int encodedlength() const override { return 16; }

private:
  long playerID;
  char status[4] = {};
};

// A text for a player: the sender's player ID (serverTextID for the server's own texts) and
// the text, sent without its terminating zero.
class cTextMessage : public cMessage {
public:
  static constexpr long serverTextID = -1;  // 0xFFFFFFFF on the wire; player IDs start at 0

  // The text is copied, cut to what one frame can carry.
  cTextMessage(long turn, long playerID, const char* text);
  long getPlayerID() const { return playerID; }
  const char* getMessage() const { return text.get(); }
  char* encode() const override;
  int encodedlength() const override;

private:
  long playerID;
  std::unique_ptr<char[]> text;
  int textLength;
};

class cCloseMessage : public cMessage {
public:
  explicit cCloseMessage(long turn);
  char* encode() const override;
  int encodedlength() const override { return 9; }
};

// The version announcement: the magic "DNM", seven version characters, a platform
// character ('l' client, 'L' server) and a counted zero byte.
class cVersionMessage {
public:
  cVersionMessage(const char* version, char platform);  // version cut to 7 characters
  // Parses a received body of length usable bytes; a shorter body than 11 bytes gives an
  // empty version and platform 0.
  cVersionMessage(const char* body, int length);
  char* encode() const;
  int encodedlength() const { return 14; }
  const char* getVersion() const { return version; }
  char getPlatform() const { return platform; }

private:
  char version[8] = {};
  char platform = 0;
};

// Decodes a received body (without its length bytes). Reads no byte at or past length:
// missing bytes count as zero. Short bodies and unknown tags give a move from (0, 0) to
// (0, 0) at turn 0; a text ("MSG") is never read as a move. The wrapper owns the decoded
// message.
class cDecodeMessage : public cMessage {
public:
  cDecodeMessage(const char* body, int length);
  cMessage* realMessage() const { return message.get(); }
  char* encode() const override { return message->encode(); }
  int encodedlength() const override { return message->encodedlength(); }

private:
  std::unique_ptr<cMessage> message;
};

#endif
