#include "net/message.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int maxFrameLength = 65535;

}  // namespace

void copyText(char* to, const char* from, size_t n)
{
  size_t i = 0;
  for (; from && i < n && from[i]; ++i) to[i] = from[i];
  to[i] = '\0';
}

void cMessage::wEncode(char* p, int v)
{
  p[0] = char((v >> 8) & 0xFF);
  p[1] = char(v & 0xFF);
}

void cMessage::dwEncode(char* p, long v)
{
  const unsigned long u = static_cast<unsigned long>(v);
  for (int i = 0; i < 4; ++i) p[i] = char((u >> (24 - 8 * i)) & 0xFF);
}

void cMessage::bEncode(char* p, int v) { p[0] = char(v & 0xFF); }

int cMessage::wDecode(const char* p)
{
  return static_cast<unsigned char>(p[0]) * 256 + static_cast<unsigned char>(p[1]);
}

long cMessage::dwDecode(const char* p)
{
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | static_cast<unsigned char>(p[i]);
  return static_cast<int32_t>(u);
}

int cMessage::bDecode(const char* p) { return static_cast<unsigned char>(p[3]); }

int cMessage::hexDecode(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

int cMessage::hexDecode(char c1, char c2) { return 16 * hexDecode(c1) + hexDecode(c2); }

int cMessage::hexDecode(char c1, char c2, char c3, char c4)
{
  return 256 * hexDecode(c1, c2) + hexDecode(c3, c4);
}

// The turn field holds four digits, so a turn travels as its low 16 bits.
char* cMessage::startFrame(const char* tag) const
{
  const int length = encodedlength();
  char* frame = new char[length + 1]();
  wEncode(frame, length);
  std::snprintf(frame + 2, 8, "%.3s%.4x", tag, static_cast<unsigned>(turn) & 0xFFFFu);
  return frame;
}

cMoveMessage::cMoveMessage(long turn, cPoint from, cPoint to)
    : cMessage(mtMove, turn), fromPos(from), toPos(to)
{
}

char* cMoveMessage::encode() const
{
  char* f = startFrame("MOV");
  wEncode(f + 9, fromPos.x);
  wEncode(f + 11, fromPos.y);
  wEncode(f + 13, toPos.x);
  wEncode(f + 15, toPos.y);
  return f;
}

cMapMessage::cMapMessage(long turn, const char* type) : cMessage(mtMap, turn)
{
  copyText(mapType, type, 3);
}

cMapMessage::cMapMessage(long turn, const char* type, const cMapLayer* l)
    : cMapMessage(turn, type, l, l ? l->myMaxPos() : cPoint())
{
}

cMapMessage::cMapMessage(long turn, const char* type, const cMapLayer* l, cPoint size)
    : cMapMessage(turn, type)
{
  if (l) layer = *l;
  declared = size;
}

int cMapMessage::rowsCarried() const
{
  const cPoint size = layer.myMaxPos();
  if (size.x <= 0 || size.y <= 0) return 0;
  return std::min(size.y, (maxFrameLength - 16) / size.x);
}

int cMapMessage::encodedlength() const
{
  const int rows = rowsCarried();
  return rows > 0 ? 16 + layer.myMaxPos().x * rows : 12;
}

char* cMapMessage::encode() const
{
  char* f = startFrame("MAP");
  std::snprintf(f + 9, 4, "%3s", mapType);
  const int rows = rowsCarried();
  if (rows == 0) return f;
  const int width = layer.myMaxPos().x;
  wEncode(f + 12, width);
  wEncode(f + 14, rows);
  for (long i = 0; i < long(width) * rows; ++i) f[16 + i] = char(layer.get(i) & 0xFF);
  return f;
}

cMapSetMessage::cMapSetMessage(long turn, cRect a, int t)
    : cMessage(mtMapSet, turn), area(a), newType(t)
{
}

char* cMapSetMessage::encode() const
{
  char* f = startFrame("SET");
  wEncode(f + 9, area.left());
  wEncode(f + 11, area.top());
  wEncode(f + 13, area.right());
  wEncode(f + 15, area.bottom());
  wEncode(f + 17, newType);
  return f;
}

cMapGetMessage::cMapGetMessage(long turn, cPoint p) : cMessage(mtMapGet, turn), point(p) {}

char* cMapGetMessage::encode() const
{
  char* f = startFrame("GET");
  wEncode(f + 9, point.x);
  wEncode(f + 11, point.y);
  return f;
}

namespace {

void encodeFigures(char* f, const cBaseObject& o)
{
  cMessage::wEncode(f + 9, o.myID());
  cMessage::dwEncode(f + 11, o.getPlayerID());
  cMessage::wEncode(f + 15, o.myPosition().x);
  cMessage::wEncode(f + 17, o.myPosition().y);
  cMessage::wEncode(f + 19, o.myDim().x);
  cMessage::wEncode(f + 21, o.myDim().y);
  cMessage::wEncode(f + 23, o.getHealth());
}

}  // namespace

cCreateObjectMessage::cCreateObjectMessage(long turn, const cBaseObject* o)
    : cMessage(mtCreateObject, turn),
      object(
          new cBaseObject(o->myID(), o->getPlayerID(), o->myPosition(), o->myDim(), o->getHealth()))
{
}

char* cCreateObjectMessage::encode() const
{
  char* f = startFrame("CRE");
  encodeFigures(f, *object);
  return f;
}

cCreateUnitMessage::cCreateUnitMessage(long turn, const cBaseUnit* u)
    : cMessage(mtCreateUnit, turn),
      unit(new cBaseUnit(u->myID(), u->getPlayerID(), u->myPosition(), u->myDim(), u->getHealth()))
{
}

char* cCreateUnitMessage::encode() const
{
  char* f = startFrame("CRU");
  encodeFigures(f, *unit);
  return f;
}

cDamageHealMessage::cDamageHealMessage(long turn, int id, cPoint p, int c)
    : cMessage(mtDamageHeal, turn), objectID(id), pos(p), change(c)
{
}

char* cDamageHealMessage::encode() const
{
  char* f = startFrame("HPC");
  wEncode(f + 9, objectID);
  wEncode(f + 11, pos.x);
  wEncode(f + 13, pos.y);
  wEncode(f + 15, change);
  return f;
}

cDamageAreaMessage::cDamageAreaMessage(long turn, cPoint c, int s, int l)
    : cMessage(mtDamageArea, turn), center(c), size(s), level(l)
{
}

char* cDamageAreaMessage::encode() const
{
  char* f = startFrame("DAM");
  wEncode(f + 9, center.x);
  wEncode(f + 11, center.y);
  wEncode(f + 13, level);
  wEncode(f + 15, size);
  return f;
}

cRemoveMessage::cRemoveMessage(long turn, cRect a) : cMessage(mtRemove, turn), area(a) {}

char* cRemoveMessage::encode() const
{
  char* f = startFrame("REM");
  wEncode(f + 9, area.left());
  wEncode(f + 11, area.top());
  wEncode(f + 13, area.right());
  wEncode(f + 15, area.bottom());
  return f;
}

cRegisterMessage::cRegisterMessage(long turn, const char* s, long id)
    : cMessage(mtRegister, turn), playerID(id)
{
  copyText(status, s, 3);
}

char* cRegisterMessage::encode() const
{
  char* f = startFrame("REG");
  std::snprintf(f + 9, 4, "%3s", status);
  dwEncode(f + 12, playerID);
  return f;
}

cTextMessage::cTextMessage(long turn, long id, const char* t) : cMessage(mtText, turn), playerID(id)
{
  textLength = t ? int(strnlen(t, maxFrameLength - 14)) : 0;
  text.reset(new char[textLength + 1]);
  copyText(text.get(), t, textLength);
}

int cTextMessage::encodedlength() const { return 14 + textLength; }

// The byte after the player ID is reserved and sent as 0.
char* cTextMessage::encode() const
{
  char* f = startFrame("MSG");
  dwEncode(f + 9, playerID);
  std::memcpy(f + 14, text.get(), textLength);
  return f;
}

cCloseMessage::cCloseMessage(long turn) : cMessage(mtClose, turn) {}

char* cCloseMessage::encode() const { return startFrame("CLS"); }

cVersionMessage::cVersionMessage(const char* v, char p) : platform(p) { copyText(version, v, 7); }

cVersionMessage::cVersionMessage(const char* body, int length)
{
  if (!body || length < 11) return;
  std::memcpy(version, body + 3, 7);
  platform = body[10];
}

char* cVersionMessage::encode() const
{
  char* f = new char[encodedlength() + 1]();
  f[1] = char(encodedlength());
  std::snprintf(f + 2, 12, "DNM%s%c", version, platform);
  return f;
}

namespace {

// The fixed part of a body, zero past the bytes received; long enough for every fixed field.
struct cFixedBody {
  char b[24] = {};
  cFixedBody(const char* body, int length)
  {
    if (body && length > 0) std::memcpy(b, body, std::min<size_t>(length, sizeof b));
  }
  int w(int at) const { return cMessage::wDecode(b + at); }
  // A field that carries a signed value in its low 16 bits.
  int sw(int at) const { return static_cast<int16_t>(cMessage::wDecode(b + at)); }
  long dw(int at) const { return cMessage::dwDecode(b + at); }
};

// Only as many whole rows as the body carries become the layer: never more than received.
cMessage* decodeMap(const cFixedBody& f, long turn, const char* body, int length)
{
  const char type[4] = {f.b[7], f.b[8], f.b[9], '\0'};
  const bool control =
      type[0] == '?' || type[0] == '/' || !std::strcmp(type, "REC") || !std::strcmp(type, "SND");
  const int width = f.w(10);
  const int rows = width > 0 ? std::min(f.w(12), std::max(length - 14, 0) / width) : 0;
  if (control || rows == 0) return new cMapMessage(turn, type);
  cMapLayer layer(cPoint(width, rows));
  for (long i = 0; i < long(width) * rows; ++i)
    layer.place(i, static_cast<signed char>(body[14 + i]));
  return new cMapMessage(turn, type, &layer, cPoint(width, f.w(12)));
}

// The text is what follows the reserved byte, up to the end of the body or a zero byte.
cMessage* decodeText(const cFixedBody& f, long turn, const char* body, int length)
{
  const std::string text = length > 12 ? std::string(body + 12, size_t(length - 12)) : "";
  return new cTextMessage(turn, f.dw(7), text.c_str());
}

cMessage* decodeRegister(const cFixedBody& f, long turn)
{
  const char status[4] = {f.b[7], f.b[8], f.b[9], '\0'};
  return new cRegisterMessage(turn, status, f.dw(10));
}

cCreateObjectMessage* decodeCreateObject(const cFixedBody& f, long turn)
{
  const cBaseObject o(f.w(7), f.dw(9), cPoint(f.w(13), f.w(15)), cIsoPoint(f.w(17), f.w(19), 0),
                      f.w(21));
  return new cCreateObjectMessage(turn, &o);
}

cCreateUnitMessage* decodeCreateUnit(const cFixedBody& f, long turn)
{
  const cBaseUnit u(f.w(7), f.dw(9), cPoint(f.w(13), f.w(15)), cIsoPoint(f.w(17), f.w(19), 0),
                    f.w(21));
  return new cCreateUnitMessage(turn, &u);
}

cMessage* decodeFixed(const cFixedBody& f, long turn)
{
  const cRect area(f.w(7), f.w(9), f.w(11), f.w(13));
  const std::string tag(f.b, 3);
  if (tag == "MOV") return new cMoveMessage(turn, area.topLeft, area.bottomRight);
  if (tag == "REG") return decodeRegister(f, turn);
  if (tag == "CRE") return decodeCreateObject(f, turn);
  if (tag == "REM") return new cRemoveMessage(turn, area);
  if (tag == "SET") return new cMapSetMessage(turn, area, f.w(15));
  if (tag == "HPC") return new cDamageHealMessage(turn, f.w(7), cPoint(f.w(9), f.w(11)), f.sw(13));
  if (tag == "DAM") return new cDamageAreaMessage(turn, area.topLeft, f.w(13), f.w(11));
  if (tag == "CRU") return decodeCreateUnit(f, turn);
  if (tag == "CLS") return new cCloseMessage(turn);
  return nullptr;
}

}  // namespace

cDecodeMessage::cDecodeMessage(const char* body, int length) : cMessage(mtDecoded, 0)
{
  if (body && length >= 3) {
    const cFixedBody f(body, length);
    const long turn = hexDecode(f.b[3], f.b[4], f.b[5], f.b[6]);
    if (!std::memcmp(f.b, "MAP", 3))
      message.reset(decodeMap(f, turn, body, length));
    else if (!std::memcmp(f.b, "MSG", 3))
      message.reset(decodeText(f, turn, body, length));
    else
      message.reset(decodeFixed(f, turn));
  }
  if (!message) message.reset(new cMoveMessage(0, cPoint(0, 0), cPoint(0, 0)));
}
