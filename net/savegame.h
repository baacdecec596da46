#ifndef KORVANE_NET_SAVEGAME_H
#define KORVANE_NET_SAVEGAME_H
// A saved game: the line "KORVANE-SAVE 1 <protocol version>" and a line break, then the
// frames of a map download byte for byte (the terrain, one frame per building, one per unit,
// the end mark "///"), all at turn 0. The server keeps its game in one; players save to one.
#include <memory>
#include <string>
#include <vector>

#include "world/cunit.h"
#include "world/maplayer.h"

class cMap;

// The first line of every saved game, without its line break.
std::string savedGameHeader();

// The whole file for map into bytes (replaced). False, with bytes empty, when the map's
// terrain does not fit one frame: such a file could never be read back.
bool encodeSavedGame(const cMap& map, std::string& bytes);

// What a saved game holds, copied out of a map: taking the copy costs a tenth of encoding
// it, so a map shared between threads is locked only for take().
class cGameCopy {
public:
  void take(const cMap& map);  // replaces what was taken before
  // The whole file into bytes, as encodeSavedGame gives it for the map taken.
  bool encode(std::string& bytes) const;

private:
  cMapLayer terrain;
  std::vector<std::unique_ptr<cBaseObject>> buildings;
  std::vector<std::unique_ptr<cBaseUnit>> units;
};

// The game a file holds, or null with reason set when the file is refused: a wrong first
// line, a frame cut short or of a length its kind cannot have, a frame that does not belong
// to a download or comes after the end mark, a terrain layer cut short, an object anchored
// off the map, bytes after the end mark. A refused file gives no map at all. Buildings and
// units join the map by the change rules, as they do for a player downloading the game.
std::unique_ptr<cMap> decodeSavedGame(const std::string& bytes, std::string& reason);

// Reads and decodes the file at path. missing tells whether it failed because there is no
// such file (then reason says so too).
std::unique_ptr<cMap> readSavedGame(const std::string& path, std::string& reason, bool& missing);

// Replaces the file at path with bytes atomically: a temporary file in the same folder
// (path + ".tmp"), written and flushed to disk, renamed over path, the folder flushed too.
// A crash at any moment leaves either the old file or the new one. False with reason set
// (the temporary file removed) on failure.
bool writeSavedGame(const std::string& path, const std::string& bytes, std::string& reason);

// Renames the file at path to path + ".bad", or ".bad.1", ".bad.2", ... when that name is
// taken; never overwrites or deletes anything. The new name, or "" with reason set.
std::string setAsideSavedGame(const std::string& path, std::string& reason);

#endif
