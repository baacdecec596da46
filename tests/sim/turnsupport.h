#ifndef KORVANE_TESTS_SIM_TURNSUPPORT_H
#define KORVANE_TESTS_SIM_TURNSUPPORT_H
// Helpers for the turn tests: a catalogue for the built-in map, the renumbering the view's
// draw pass does, a private working directory, a player on a socket and a look at a map's
// objects.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "net/player.h"
#include "sim/gameplaymap.h"
#include "support/testdirectory.h"
#include "world/metadatabase.h"

// Terrains 0-8; buildings 0-5 (2 x 2, kinds 4 and 5 3 x 3); units of one cell: 1 a soldier
// (40 hit points, damage 7, blast radius 1, fire rate 2), 2 an archer (30, 3, 0, fire rate 0).
class TurnCatalogue {
public:
  TurnCatalogue() : db(terrains(), buildings(), units()), previous(useCatalogue(&db)) {}
  ~TurnCatalogue() { useCatalogue(previous); }

private:
  static cMetaDataItem item(int size, int hp, int damage, int area, int rate)
  {
    cMetaDataItem i;
    i.description = "kind";
    i.size = cIsoPoint(size, size, 1);
    i.hitPoints = hp;
    i.damage = damage;
    i.areaEffect = area;
    i.fireRate = rate;
    return i;
  }
  static std::vector<cMetaDataItem> terrains()
  {
    return std::vector<cMetaDataItem>(9, item(1, 0, 0, 0, 0));
  }
  static std::vector<cMetaDataItem> buildings()
  {
    return {item(2, 10, 0, 0, 0), item(2, 100, 0, 0, 0), item(2, 200, 0, 0, 0),
            item(2, 50, 0, 0, 0), item(3, 300, 0, 0, 0), item(3, 500, 0, 0, 0)};
  }
  static std::vector<cMetaDataItem> units()
  {
    return {item(1, 8, 0, 0, 0), item(1, 40, 7, 1, 2), item(1, 30, 3, 0, 0)};
  }

  cMetaDatabase db;
  cMetaDatabase* previous;
};

// What the view's draw pass does before every picture.
inline void renumber(cMap& map) { renumberOccupancy(map); }

// The network code writes trace files into the current directory.
class InTempDir : public ::testing::Test {
protected:
  void SetUp() override
  {
    directory.reset(new cTestDirectory("korvane-turn"));
    ASSERT_TRUE(directory->ok());
  }
  void TearDown() override { directory.reset(); }
  std::unique_ptr<cTestDirectory> directory;
};

// A player connected to a socket the test holds (`peer`): frames written there arrive as the
// server's, and what the player sends is read there.
class WiredPlayer : public InTempDir {
protected:
  explicit WiredPlayer(long id) : id(id) {}
  void SetUp() override
  {
    InTempDir::SetUp();
    if (HasFatalFailure()) return;
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    peer = ends[1];
    player.reset(new cPlayer(id, ends[0]));
  }
  void TearDown() override
  {
    player.reset();
    if (peer >= 0) close(peer);
    InTempDir::TearDown();
  }
  // Writes these bytes as the server.
  void send(const std::string& bytes)
  {
    ASSERT_EQ(write(peer, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }

  std::unique_ptr<cPlayer> player;
  int peer = -1;

private:
  long id;
};

// kind, x, y, width, height, health of every object, sorted: list order may differ between
// two maps that hold the same things.
using ObjectFigures = std::tuple<int, int, int, int, int, int>;
inline std::vector<ObjectFigures> figures(const cObjectList& list)
{
  std::vector<ObjectFigures> all;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) {
    const cBaseObject* o = n->myData();
    all.emplace_back(o->myID(), o->myPosition().x, o->myPosition().y, o->myDim().x, o->myDim().y,
                     o->getHealth());
  }
  std::sort(all.begin(), all.end());
  return all;
}

inline std::vector<const cBaseObject*> listed(const cObjectList& list)
{
  std::vector<const cBaseObject*> all;
  for (cObjectListNode* n = list.getFirstNode(); n; n = n->getNext()) all.push_back(n->myData());
  return all;
}

#endif
