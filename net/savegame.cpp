#include "net/savegame.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/message.h"
#include "net/protocol.h"
#include "world/changerules.h"
#include "world/map.h"

namespace {

const char* const saveMagic = "KORVANE-SAVE 1";
// The longest first line looked at; anything longer is not ours.
const size_t maxHeaderLength = 64;
// A terrain frame carries at most 65519 cells, and each cell holds at most one building and
// one unit: no saved game of ours is larger.
const long long maxSaveBytes = maxHeaderLength + 65535LL + 2LL * 65519 * 25;

const int objectFrameLength = 25;
const int endFrameLength = 12;

void appendMessage(std::string& bytes, const cMessage& m)
{
  std::unique_ptr<char[]> frame(m.encode());
  bytes.append(frame.get(), size_t(m.encodedlength()));
}

std::string errnoText(const char* what, const std::string& path)
{
  return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// One frame of a saved game, read with the bounds of the network reader.
struct cFrameCursor {
  const std::string& bytes;
  size_t at;
  int number = 0;  // frames read so far

  // The next frame's body and length; false with reason set when none can be read whole.
  bool next(const char*& body, int& length, std::string& reason)
  {
    ++number;
    if (bytes.size() - at < 2) {
      reason = "cut short before frame " + std::to_string(number);
      return false;
    }
    const int total = cMessage::wDecode(bytes.data() + at);
    if (total < 2) {
      reason = "frame " + std::to_string(number) + " has length " + std::to_string(total);
      return false;
    }
    if (bytes.size() - at < size_t(total)) {
      reason = "cut short inside frame " + std::to_string(number);
      return false;
    }
    body = bytes.data() + at + 2;
    length = total - 2;
    at += size_t(total);
    return true;
  }
};

bool hasTag(const char* body, int length, const char* tag)
{
  return length >= 3 && !std::memcmp(body, tag, 3);
}

bool isMapFrame(const char* body, int length, const char* type)
{
  return hasTag(body, length, "MAP") && length >= 10 && !std::memcmp(body + 7, type, 3);
}

// The terrain frame: the map of its size, or null when it is not a whole layer.
std::unique_ptr<cMap> takeTerrain(const char* body, int length, std::string& reason)
{
  if (!isMapFrame(body, length, "TER")) {
    reason = "the first frame is not the terrain";
    return nullptr;
  }
  const cDecodeMessage decoded(body, length);
  const auto& terrain = static_cast<const cMapMessage&>(*decoded.realMessage());
  const int carried = terrain.carriesWholeLayer() ? terrain.maplayer()->cellCount() : -1;
  if (carried < 0 || length != 14 + carried) {
    reason = "the terrain frame does not hold a whole layer";
    return nullptr;
  }
  std::unique_ptr<cMap> map(new cMap(terrain.maplayer()->myMaxPos()));
  map->getLayer(LAYER_TERRAIN)->copy(terrain.maplayer());
  return map;
}

// A building or a unit; false when the frame is not one, or its anchor lies off the map.
bool takeObject(cMap& map, const char* body, int length, int number, std::string& reason)
{
  const bool building = hasTag(body, length, "CRE");
  if (!building && !hasTag(body, length, "CRU")) {
    reason = "frame " + std::to_string(number) + " is no part of a map";
    return false;
  }
  if (length != objectFrameLength - 2) {
    reason = "frame " + std::to_string(number) + " has the wrong length";
    return false;
  }
  const cDecodeMessage decoded(body, length);
  const cMessage& m = *decoded.realMessage();
  const cBaseObject& o = building ? *static_cast<const cCreateObjectMessage&>(m).getObject()
                                  : *static_cast<const cCreateUnitMessage&>(m).getUnit();
  if (!map.includes(o.myPosition())) {
    reason = "frame " + std::to_string(number) + " places an object off the map";
    return false;
  }
  // What the rules refuse (an occupied footprint) a player downloading the game drops too.
  if (building)
    applyCreateBuilding(map, o);
  else
    applyCreateUnit(map, static_cast<const cBaseUnit&>(o));
  return true;
}

// The first line; false with reason set when it is not the header of this version.
bool checkHeader(const std::string& bytes, size_t& end, std::string& reason)
{
  end = bytes.find('\n');
  const std::string magic = std::string(saveMagic) + " ";
  const bool ours = bytes.compare(0, 13, saveMagic, 13) == 0;  // "KORVANE-SAVE "
  if (end == std::string::npos || end > maxHeaderLength) {
    reason = ours && end == std::string::npos ? "cut short in its first line" : "not a saved game";
    return false;
  }
  if (bytes.compare(0, magic.size(), magic) != 0) {
    reason = ours ? "an unknown save format" : "not a saved game";
    return false;
  }
  const std::string version = bytes.substr(magic.size(), end - magic.size());
  if (version != protocolVersion) {
    reason = "saved by version " + version.substr(0, 20) + ", not " + protocolVersion;
    return false;
  }
  ++end;
  return true;
}

bool writeAll(int fd, const std::string& bytes)
{
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t r = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    done += size_t(r);
  }
  return true;
}

std::string folderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is only lasting once the folder that records it is on disk too.
bool syncFolder(const std::string& path)
{
  const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

bool readAll(int fd, std::string& bytes, long long size)
{
  bytes.resize(size_t(size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t r = ::read(fd, &bytes[done], bytes.size() - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += size_t(r);
  }
  bytes.resize(done);
  return done == size_t(size);
}

}  // namespace

std::string savedGameHeader() { return std::string(saveMagic) + " " + protocolVersion; }

bool encodeSavedGame(const cMap& map, std::string& bytes)
{
  cGameCopy game;
  game.take(map);
  return game.encode(bytes);
}

void cGameCopy::take(const cMap& map)
{
  terrain = *map.getLayer(LAYER_TERRAIN);
  buildings.clear();
  units.clear();
  for (cObjectListNode* n = map.getBuildings()->getFirstNode(); n; n = n->getNext()) {
    buildings.emplace_back(new cBaseObject());
    buildings.back()->copy(n->myData());
  }
  for (cObjectListNode* n = map.getUnits()->getFirstNode(); n; n = n->getNext()) {
    units.emplace_back(new cBaseUnit());
    units.back()->copy(n->myData());
  }
}

bool cGameCopy::encode(std::string& bytes) const
{
  bytes = savedGameHeader() + "\n";
  const cMapMessage frame(0, "TER", &terrain);
  if (frame.encodedlength() != 16 + terrain.cellCount()) {
    bytes.clear();
    return false;
  }
  appendMessage(bytes, frame);
  for (const std::unique_ptr<cBaseObject>& b : buildings)
    appendMessage(bytes, cCreateObjectMessage(0, b.get()));
  for (const std::unique_ptr<cBaseUnit>& u : units)
    appendMessage(bytes, cCreateUnitMessage(0, u.get()));
  appendMessage(bytes, cMapMessage(0, "///"));
  return true;
}

std::unique_ptr<cMap> decodeSavedGame(const std::string& bytes, std::string& reason)
{
  size_t start = 0;
  if (!checkHeader(bytes, start, reason)) return nullptr;
  cFrameCursor frames{bytes, start};
  const char* body = nullptr;
  int length = 0;
  if (!frames.next(body, length, reason)) return nullptr;
  std::unique_ptr<cMap> map = takeTerrain(body, length, reason);
  if (!map) return nullptr;
  for (;;) {
    if (!frames.next(body, length, reason)) return nullptr;
    if (isMapFrame(body, length, "///")) break;
    if (!takeObject(*map, body, length, frames.number, reason)) return nullptr;
  }
  if (length != endFrameLength - 2) {
    reason = "the end mark has the wrong length";
    return nullptr;
  }
  if (frames.at != bytes.size()) {
    reason = "bytes after the end mark";
    return nullptr;
  }
  return map;
}

std::unique_ptr<cMap> readSavedGame(const std::string& path, std::string& reason, bool& missing)
{
  missing = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    missing = errno == ENOENT;
    reason = std::strerror(errno);
    return nullptr;
  }
  struct stat info = {};
  std::string bytes;
  bool read = false;
  if (::fstat(fd, &info) != 0)
    reason = std::strerror(errno);
  else if (!S_ISREG(info.st_mode))
    reason = "not a plain file";
  else if (info.st_size > maxSaveBytes)
    reason = "too large for a saved game";
  else if (errno = 0, !(read = readAll(fd, bytes, info.st_size)))
    reason = errno ? std::strerror(errno) : "the file changed while it was read";
  ::close(fd);
  return read ? decodeSavedGame(bytes, reason) : nullptr;
}

bool writeSavedGame(const std::string& path, const std::string& bytes, std::string& reason)
{
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    reason = errnoText("cannot create", temporary);
    return false;
  }
  bool done = writeAll(fd, bytes) && ::fsync(fd) == 0;
  if (!done) reason = errnoText("cannot write", temporary);
  if (::close(fd) != 0 && done) {
    done = false;
    reason = errnoText("cannot write", temporary);
  }
  if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
    done = false;
    reason = errnoText("cannot rename to", path);
  }
  if (!done) {
    ::unlink(temporary.c_str());
    return false;
  }
  if (!syncFolder(path)) {
    reason = errnoText("cannot flush the folder of", path);
    return false;
  }
  return true;
}

namespace {

// 1 when path now also goes by name, 2 when it was renamed to name, 0 when name is taken,
// -1 on failure (errno set).
int claimName(const std::string& path, const std::string& name)
{
  // A hard link fails when the name is taken, so nothing is ever overwritten.
  if (::link(path.c_str(), name.c_str()) == 0) return 1;
  if (errno == EEXIST) return 0;
  if (errno != EPERM && errno != EOPNOTSUPP) return -1;
  // A file system without hard links: a rename, after looking that the name is free.
  struct stat info = {};
  if (::lstat(name.c_str(), &info) == 0) return 0;
  return ::rename(path.c_str(), name.c_str()) == 0 ? 2 : -1;
}

}  // namespace

std::string setAsideSavedGame(const std::string& path, std::string& reason)
{
  for (int n = 0; n < 1000; ++n) {
    const std::string name = path + ".bad" + (n ? "." + std::to_string(n) : std::string());
    const int claimed = claimName(path, name);
    if (claimed == 0) continue;
    if (claimed < 0) {
      reason = errnoText("cannot rename", path);
      return "";
    }
    if (claimed == 2 || ::unlink(path.c_str()) == 0) return name;
    reason = errnoText("cannot remove", path);
    ::unlink(name.c_str());
    return "";
  }
  reason = "too many files set aside beside " + path;
  return "";
}
