// A game map whose player is connected to a socket the test holds: frames written there
// arrive as the server's, and what the map announces is read back.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "net/message.h"
#include "sim/builtinmap.h"
#include "sim/gameplaymap.h"
#include "support/frames.h"
#include "turnsupport.h"

namespace {
const long me = 3;

class WiredGame : public WiredPlayer {
protected:
  WiredGame() : WiredPlayer(me) {}
  void SetUp() override
  {
    WiredPlayer::SetUp();
    if (HasFatalFailure()) return;
    loadBuiltinMap(map, me);
    renumber(map);
  }

  void send(const cMessage& m) { WiredPlayer::send(frameOf(m)); }
  // One turn with its standard output.
  std::string turn(bool* changed = nullptr)
  {
    testing::internal::CaptureStdout();
    bool c = map.processTurn(player.get());
    if (changed) *changed = c;
    return testing::internal::GetCapturedStdout();
  }
  // The frames the map has sent so far, as decoded messages.
  std::vector<std::unique_ptr<cDecodeMessage>> sent()
  {
    std::vector<std::unique_ptr<cDecodeMessage>> all;
    pollfd p = {peer, POLLIN, 0};
    while (poll(&p, 1, 50) > 0) {
      unsigned char length[2];
      if (read(peer, length, 2) != 2) break;
      std::vector<char> body(length[0] * 256 + length[1] - 2);
      if (read(peer, body.data(), body.size()) != ssize_t(body.size())) break;
      all.emplace_back(new cDecodeMessage(body.data(), int(body.size())));
    }
    return all;
  }
  cBaseUnit* addUnit(long owner, cPoint cell, int health)
  {
    auto u = new cBaseUnit(1, owner, cell, cIsoPoint(1, 1, 1), health);
    EXPECT_TRUE(map.addUnit(u));
    renumber(map);
    return u;
  }

  TurnCatalogue catalogue;
  cGamePlayMap map{cPoint(100, 100)};
};

template <class T>
const T& as(const std::unique_ptr<cDecodeMessage>& m)
{
  return *static_cast<const T*>(m->realMessage());
}
}  // namespace

TEST_F(WiredGame, ReceivedMoveWithNoUnitAtItsStartChangesNothing)
{
  const auto before = figures(*map.getUnits());
  send(cMoveMessage(0, cPoint(1, 2), cPoint(3, 4)));
  bool changed = true;
  EXPECT_EQ(turn(&changed), "MOVE (1,2)-(3,4)\n");
  EXPECT_FALSE(changed);
  EXPECT_EQ(figures(*map.getUnits()), before);
  EXPECT_EQ(map.getUnit(cPoint(3, 4)), 0);
}

TEST_F(WiredGame, ReceivedMoveTakesTheUnitMarksItsCellAndResorts)
{
  // Units listed (14, 15), (15, 15), (18, 70), the newcomer at (19, 60), (74, 75).
  cBaseUnit* u = addUnit(9, cPoint(19, 60), 30);
  const cBaseObject* behind = map._getObject(cPoint(18, 70));
  ASSERT_EQ(listed(*map.getUnits())[3], u);
  send(cMoveMessage(0, cPoint(19, 60), cPoint(18, 60)));
  bool changed = false;
  EXPECT_EQ(turn(&changed), "MOVE (13,3c)-(12,3c)\n");
  EXPECT_TRUE(changed);
  EXPECT_EQ(u->myPosition(), cPoint(18, 60));
  EXPECT_EQ(map.getUnit(cPoint(19, 60)), 0);
  EXPECT_EQ(map.getUnit(cPoint(18, 60)), 4);  // its place before it was sorted again
  const auto order = listed(*map.getUnits());
  EXPECT_EQ(order[2], u);
  EXPECT_EQ(order[3], behind);
}

TEST_F(WiredGame, ReceivedMoveOffTheMapIsRefused)
{
  cBaseUnit* u = addUnit(9, cPoint(26, 27), 30);
  send(cMoveMessage(0, cPoint(26, 27), cPoint(300, 27)));
  bool changed = true;
  turn(&changed);
  EXPECT_FALSE(changed);
  EXPECT_EQ(u->myPosition(), cPoint(26, 27));
}

// Texts are kept for the screen in arrival order, never read as moves and never change the
// map; bytes that are not printable arrive as '?', and only the latest ones are kept.
TEST_F(WiredGame, ReceivedTextsAreKeptInOrderAndLeaveTheMapAlone)
{
  const auto before = figures(*map.getUnits());
  const int many = int(cGamePlayMap::maxWaitingTexts) + 1;
  std::string frames;
  frames += frameOf(cTextMessage(0, 1, "ann: hello"));
  frames += frameOf(cTextMessage(0, cTextMessage::serverTextID, "tab\there\x1b[2J\xff"));
  for (int k = 0; k < many; ++k)
    frames += frameOf(cTextMessage(0, 2, ("n" + std::to_string(k)).c_str()));
  ASSERT_EQ(write(peer, frames.data(), frames.size()), ssize_t(frames.size()));
  testing::internal::CaptureStdout();
  std::string text;
  bool changed = false;
  for (const char* expected : {"ann: hello", "tab?here?[2J?"}) {
    changed |= map.processTurn(player.get());
    ASSERT_TRUE(map.takeText(text));
    EXPECT_EQ(text, expected);
    EXPECT_FALSE(map.takeText(text));
  }
  changed |= map.processTurnDraining(player.get());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no "MOVE" trace
  EXPECT_FALSE(changed);
  EXPECT_EQ(figures(*map.getUnits()), before);
  for (int k = 1; k < many; ++k) {  // the oldest one was dropped
    ASSERT_TRUE(map.takeText(text));
    EXPECT_EQ(text, "n" + std::to_string(k));
  }
  EXPECT_FALSE(map.takeText(text));
}

TEST_F(WiredGame, ReceivedRemoveMatchingOnlyAUnitsFootprintRemovesTheUnit)
{
  ASSERT_TRUE(map.addBuilding(new cBaseObject(1, 9, cPoint(40, 40), cIsoPoint(2, 2, 1))));
  cBaseUnit* u = addUnit(9, cPoint(42, 40), 30);
  send(cRemoveMessage(0, cRect(40, 40, 41, 41)));  // overlaps the building, equals nothing
  bool changed = true;
  turn(&changed);
  EXPECT_FALSE(changed);
  EXPECT_EQ(map.getBuildings()->number(), 7);
  send(cRemoveMessage(0, cRect(42, 40, 43, 41)));
  turn(&changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(map.getBuildings()->number(), 7);
  EXPECT_EQ(map.getUnits()->number(), 4);
  EXPECT_EQ(map.getUnit(cPoint(42, 40)), 0);
  EXPECT_EQ(listed(map.getRemoved()), std::vector<const cBaseObject*>{u});
}

TEST_F(WiredGame, UnitKilledByAReceivedBlastIsRemovedInTheSameTurn)
{
  cBaseUnit* u = addUnit(9, cPoint(50, 50), 5);
  send(cDamageAreaMessage(0, cPoint(50, 51), 1, 7));
  EXPECT_EQ(turn(), "D");
  EXPECT_EQ(u->getPlayerID(), -1);
  EXPECT_EQ(map.getUnit(cPoint(50, 50)), 0);
  const auto frames = sent();
  ASSERT_EQ(frames.size(), 1u);
  ASSERT_EQ(frames[0]->realMessage()->getType(), mtRemove);
  EXPECT_EQ(as<cRemoveMessage>(frames[0]).getArea(), cRect(50, 50, 51, 51));
}

TEST_F(WiredGame, ReceivedBlastIsBoundedByTheMap)
{
  cBaseUnit* far = addUnit(9, cPoint(99, 99), 30);
  send(cDamageAreaMessage(0, cPoint(0, 0), 2047, 1));
  turn();
  EXPECT_EQ(far->getHealth(), 29);
  EXPECT_EQ(map._getObject(cPoint(15, 15))->getHealth(), 19);
  send(cDamageAreaMessage(0, cPoint(100, 99), 5, 1));  // a shot never lands off the map
  turn();
  EXPECT_EQ(far->getHealth(), 29);
}

TEST_F(WiredGame, ReceivedHealthChangeReadsTheFieldAsSigned)
{
  cBaseUnit* u = addUnit(9, cPoint(60, 60), 30);
  send(cDamageHealMessage(0, 1, cPoint(60, 60), -5));
  turn();
  EXPECT_EQ(u->getHealth(), 35);
  send(cDamageHealMessage(0, 1, cPoint(60, 60), 10));
  turn();
  EXPECT_EQ(u->getHealth(), 25);
  send(cDamageHealMessage(0, 2, cPoint(60, 60), 10));  // another kind: not this unit
  bool changed = true;
  turn(&changed);
  EXPECT_FALSE(changed);
  EXPECT_EQ(u->getHealth(), 25);
}

TEST_F(WiredGame, ReceivedTerrainAreaIsCutToTheMapAndKindsADownloadCannotCarryRefused)
{
  send(cMapSetMessage(0, cRect(90, 0, 65535, 65535), 3));
  turn();
  EXPECT_EQ(map.getTerrain(cPoint(99, 99)), 3);
  EXPECT_EQ(map.getTerrain(cPoint(89, 99)), 1);
  // The server has no catalogue: a kind past this one's is kept, as the server keeps it.
  send(cMapSetMessage(0, cRect(0, 0, 10, 10), 127));
  turn();
  EXPECT_EQ(map.getTerrain(cPoint(0, 0)), 127);
  send(cMapSetMessage(0, cRect(0, 0, 10, 10), 128));  // a download would bring -128
  turn();
  EXPECT_EQ(map.getTerrain(cPoint(0, 0)), 127);
}

TEST_F(WiredGame, ReceivedObjectsAreAddedUnlessTheirPlaceIsTakenOrOffTheMap)
{
  const cBaseUnit unit(2, 9, cPoint(70, 70), cIsoPoint(1, 1, 1), 17);
  const cBaseObject keep(5, 9, cPoint(80, 80), cIsoPoint(3, 3, 1), 400);
  send(cCreateUnitMessage(0, &unit));
  turn();
  send(cCreateObjectMessage(0, &keep));
  turn();
  send(cCreateUnitMessage(0, &unit));  // the cell is taken now
  turn();
  // A kind this catalogue lacks is kept: the server, which has none, keeps it too.
  const cBaseUnit stranger(3, 9, cPoint(71, 70), cIsoPoint(1, 1, 1), 17);
  send(cCreateUnitMessage(0, &stranger));
  turn();
  const cBaseObject beyond(1, 9, cPoint(99, 99), cIsoPoint(2, 2, 1), 100);
  send(cCreateObjectMessage(0, &beyond));
  turn();
  const cBaseObject flat(1, 9, cPoint(60, 60), cIsoPoint(0, 2, 1), 100);
  send(cCreateObjectMessage(0, &flat));
  turn();
  EXPECT_EQ(map.getUnits()->number(), 6);
  EXPECT_EQ(map.getBuildings()->number(), 7);
  ASSERT_NE(map._getObject(cPoint(71, 70)), nullptr);
  EXPECT_EQ(map._getObject(cPoint(71, 70))->myID(), 3);
  const cBaseObject* u = map._getObject(cPoint(70, 70));
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->myObjectType(), 1);
  EXPECT_EQ(u->getHealth(), 17);
  EXPECT_EQ(u->getPlayerID(), 9);
  EXPECT_EQ(map.getObject(cPoint(82, 82)), 255);
  EXPECT_EQ(map._getObject(cPoint(80, 80))->getHealth(), 400);
}

TEST_F(WiredGame, CommandsAnnounceEveryChangeMade)
{
  auto u = new cBaseUnit(1, me, cPoint(40, 40), cIsoPoint(1, 1, 1), 38);
  ASSERT_TRUE(map.createUnit(player.get(), u));
  ASSERT_TRUE(
      map.createBuilding(player.get(), new cBaseObject(3, me, cPoint(44, 40), cIsoPoint(2, 2, 1))));
  renumber(map);
  map.addSelection(u);
  map.setTerrainUnderSelection(player.get(), 4);
  EXPECT_EQ(map.damageSelection(player.get(), -5), 1);  // capped: only 2 were missing
  EXPECT_EQ(map.damageSelection(player.get(), -5), 1);  // full: nothing changes, nothing sent
  EXPECT_EQ(map.damageSelection(player.get(), 50), 1);
  const auto frames = sent();
  ASSERT_EQ(frames.size(), 6u);
  EXPECT_EQ(frames[0]->realMessage()->getType(), mtCreateUnit);
  EXPECT_EQ(as<cCreateUnitMessage>(frames[0]).getUnit()->getHealth(), 38);
  EXPECT_EQ(as<cCreateObjectMessage>(frames[1]).getObject()->myPosition(), cPoint(44, 40));
  EXPECT_EQ(as<cMapSetMessage>(frames[2]).getArea(), cRect(40, 40, 41, 41));
  EXPECT_EQ(as<cMapSetMessage>(frames[2]).getNewType(), 4);
  EXPECT_EQ(as<cDamageHealMessage>(frames[3]).getChange(), -2);
  EXPECT_EQ(as<cDamageHealMessage>(frames[4]).getChange(), 40);
  EXPECT_EQ(as<cRemoveMessage>(frames[5]).getArea(), cRect(40, 40, 41, 41));
}

// The map input's paint and "-1 health" go through the map too, so the others' maps follow.
TEST_F(WiredGame, OneCellPaintAndOneObjectsDamageAreAnnounced)
{
  cBaseUnit* u = addUnit(me, cPoint(40, 40), 2);
  cBaseUnit* other = addUnit(me, cPoint(42, 40), 30);
  map.addSelection(u);
  map.addSelection(other);
  map.paintTerrain(player.get(), cPoint(7, 9), 2);
  map.paintTerrain(player.get(), cPoint(100, 9), 2);  // off the map: nothing
  map.damageObject(player.get(), u, 1);
  map.damageObject(player.get(), u, 1);  // dies: a health change and its removal
  map.damageObject(player.get(), u, 1);  // no longer on the map: nothing
  cBaseObject stranger(1, me, cPoint(42, 40), cIsoPoint(1, 1, 1), 5);
  map.damageObject(player.get(), &stranger, 1);  // never on the map: nothing
  EXPECT_EQ(map.getTerrain(cPoint(7, 9)), 2);
  EXPECT_EQ(other->getHealth(), 30);
  const auto frames = sent();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(as<cMapSetMessage>(frames[0]).getArea(), cRect(7, 9, 8, 10));
  EXPECT_EQ(as<cMapSetMessage>(frames[0]).getNewType(), 2);
  EXPECT_EQ(as<cDamageHealMessage>(frames[1]).getChange(), 1);
  EXPECT_EQ(as<cDamageHealMessage>(frames[2]).getChange(), 1);
  EXPECT_EQ(as<cRemoveMessage>(frames[3]).getArea(), cRect(40, 40, 41, 41));
}

TEST_F(WiredGame, MovesAndShotsOfATurnAreSentAtItsEnd)
{
  cBaseUnit* u = static_cast<cBaseUnit*>(map._getObject(cPoint(74, 75)));
  cBaseUnit* target = addUnit(9, cPoint(76, 75), 30);
  map.addSelection(u);
  map.moveSelection(player.get(), cPoint(72, 75));
  turn();
  turn();
  auto frames = sent();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(as<cMoveMessage>(frames[0]).from(), cPoint(74, 75));
  EXPECT_EQ(as<cMoveMessage>(frames[1]).to(), cPoint(72, 75));
  map.attackWithSelection(player.get(), cPoint(76, 75));
  for (int i = 0; i < 4; ++i) turn();
  frames = sent();
  ASSERT_EQ(frames.size(), 1u);
  ASSERT_EQ(frames[0]->realMessage()->getType(), mtDamageArea);
  EXPECT_EQ(as<cDamageAreaMessage>(frames[0]).getCenter(), cPoint(76, 75));
  EXPECT_EQ(as<cDamageAreaMessage>(frames[0]).getLevel(), 7);
  EXPECT_EQ(as<cDamageAreaMessage>(frames[0]).getSize(), 1);
  EXPECT_EQ(target->getHealth(), 23);
}

TEST(GamePlayMap, LocalPlayBuildsNoMessages)
{
  TurnCatalogue catalogue;
  cGamePlayMap map(cPoint(100, 100));
  cPlayer player;
  loadBuiltinMap(map, 0);
  renumber(map);
  map.addSelection(cPoint(15, 15));
  map.createUnit(&player, new cBaseUnit(1, 0, cPoint(40, 40), cIsoPoint(1, 1, 1), 20));
  map.setTerrainUnderSelection(&player, 2);
  map.damageSelection(&player, 3);
  map.moveSelection(&player, cPoint(20, 20));
  for (int i = 0; i < 5; ++i) map.processTurn(&player);
  EXPECT_TRUE(player.isEmpty());
}

// A turn of the plain kind takes one received frame; a draining turn takes all that wait, up
// to its cap, so a steady stream of changes never builds a backlog.
TEST_F(WiredGame, DrainingTurnTakesEveryWaitingFrameUpToItsCap)
{
  std::string frames;  // in one write: a socket holds few small writes
  for (int k = 0; k < 300; ++k)
    frames += frameOf(cMapSetMessage(0, cRect(k % 100, k / 100, k % 100 + 1, k / 100 + 1), 5));
  ASSERT_EQ(write(peer, frames.data(), frames.size()), ssize_t(frames.size()));
  const auto painted = [&] {
    int n = 0;
    for (int k = 0; k < 300; ++k) n += map.getTerrain(cPoint(k % 100, k / 100)) == 5;
    return n;
  };
  testing::internal::CaptureStdout();
  EXPECT_TRUE(map.processTurn(player.get()));
  EXPECT_EQ(painted(), 1);
  EXPECT_TRUE(map.processTurnDraining(player.get()));
  EXPECT_EQ(painted(), 257);
  EXPECT_TRUE(map.processTurnDraining(player.get(), 10));
  EXPECT_EQ(painted(), 267);
  EXPECT_TRUE(map.processTurnDraining(player.get()));
  EXPECT_EQ(painted(), 300);
  EXPECT_FALSE(map.processTurnDraining(player.get()));  // nothing waits: nothing changes
  testing::internal::GetCapturedStdout();
}
