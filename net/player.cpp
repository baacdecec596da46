#include "net/player.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "net/message.h"
#include "net/protocol.h"
#include "world/map.h"

namespace {

// A registration request must fit its 100-byte buffer: "REG", name, "@", host and a zero
// after the two length bytes leave 93 characters for name and host together.
const int requestTextRoom = 93;
const int maxFrameBody = 65535;

}  // namespace

cPlayer::cPlayer() : cNetworkQueue(0) {}

cPlayer::cPlayer(long i) : cNetworkQueue(-1), id(i == -1 ? 0 : i) {}

cPlayer::cPlayer(long i, int s) : cNetworkQueue(s), id(i), connected(true) {}

void cPlayer::setPlayerInfo(const char* n, const char* h)
{
  copyText(name, n, sizeof name - 1);
  copyText(host, h, sizeof host - 1);
}

bool cPlayer::equals(const char* n, const char* h) const
{
  return n && h && !std::strcmp(name, n) && !std::strcmp(host, h);
}

void cPlayer::connectTo(int s)
{
  setSocket(s);
  connected = true;
}

bool cPlayer::isConnected()
{
  if (!connected) return false;
  connected = socketStatus();
  return connected;
}

void cPlayer::sendNow(const cMessage& m)
{
  addToQueue(m.encode(), m.encodedlength());
  processQueue();
}

std::atomic<int> cPlayer::replyBudgetMs{5000};

int cPlayer::receiveWithin(char* buffer, int size, int budgetMs, int& polls)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs);
  for (polls = 1;; ++polls) {
    const int r = recvMessageNonBlocking(buffer, size);
    if (r >= 0) return r;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return -1;
    if (cancelCheck && cancelCheck()) return -2;
    waitForData(int(cancelCheck ? std::min<long long>(left.count(), cancelSliceMs) : left.count()));
  }
}

bool cPlayer::connectTo(const char* server, short port)
{
  if (!connectQueue(server, port)) return false;
  if (!announceVersion() || !registerPlayer()) {
    dropSocket();  // a retry opens a fresh socket, so none is left behind
    return false;
  }
  // The game's loop flushes every turn: a server that stops reading must not stop it.
  setSendWithoutWaiting(true);
  connected = true;
  return true;
}

bool cPlayer::announceVersion()
{
  const cVersionMessage version(protocolVersion, 'l');
  addToQueue(version.encode(), version.encodedlength());
  processQueue();
  char reply[256] = {};
  int polls = 0;
  if (receiveWithin(reply, sizeof reply, replyBudgetMs, polls) <= 0) return false;
  copyText(serverVersion, reply, sizeof serverVersion - 1);
  std::printf("SERVER VERSION: '%s' (%i)\n", serverVersion, polls);
  return true;
}

// Name and host are cut so that the request fits its buffer; the name keeps at least half
// of the room when both are long.
bool cPlayer::registerPlayer()
{
  const int nameLength = int(std::strlen(name));
  const int hostLength = int(std::strlen(host));
  const int keepName =
      std::min(nameLength, std::max(requestTextRoom - hostLength, requestTextRoom / 2 + 1));
  const int keepHost = std::min(hostLength, requestTextRoom - keepName);
  const int length = keepName + keepHost + 6;
  char* request = new char[100]();
  request[1] = char(length);
  std::snprintf(request + 2, 98, "REG%.*s@%.*s", keepName, name, keepHost, host);
  addToQueue(request, length);
  processQueue();

  char reply[21] = {};  // the last byte stays zero, so the reply reads as text
  int polls = 0;
  if (receiveWithin(reply, 20, replyBudgetMs, polls) <= 0) return false;
  const cDecodeMessage decoded(reply, 20);
  const cMessage* m = decoded.realMessage();
  if (m->getType() == mtRegister) {
    const cRegisterMessage* r = static_cast<const cRegisterMessage*>(m);
    std::printf("Registration: %3s %li\n", r->getStatus(), r->getPlayerID());
    id = r->getPlayerID();
  } else {
    std::printf("Registration: wtf %s", reply);
  }
  return true;
}

// Frames relayed from the players, or texts, may arrive ahead of the answer: they are read
// whole and skipped, since the map the answer brings already holds their changes.
int cPlayer::queryMaps()
{
  sendNow(cMapMessage(0, "???"));
  std::printf("end ask\n");
  std::vector<char> buffer(maxFrameBody + 1);  // a zero after the longest body
  int polls = 0;
  const cMapMessage* answer = nullptr;
  std::unique_ptr<cDecodeMessage> decoded;
  while (!answer && receiveWithin(buffer.data(), maxFrameBody, replyBudgetMs, polls) > 0) {
    decoded.reset(new cDecodeMessage(buffer.data(), lastBodyLength()));
    const cMessage* m = decoded->realMessage();
    if (m->getType() == mtMap) answer = static_cast<const cMapMessage*>(m);
    std::printf("QUERY MAPS recieved: %.200s\n", answer ? buffer.data() : "(skipped)");
    std::fill(buffer.begin(), buffer.begin() + lastBodyLength(), 0);
  }
  int result = 0;
  if (!answer) disconnect();
  if (answer && !std::strcmp(answer->type(), "REC")) std::printf("REC\n");
  if (answer && !std::strcmp(answer->type(), "SND")) {
    std::printf("SND\n");
    result = 10;
  }
  return connected ? result : -1;
}

int cPlayer::sendMaps(cMap* map)
{
  sendNow(cMapMessage(gameTurn, "TER", map->getLayer(LAYER_TERRAIN)));
  for (cObjectListNode* n = map->getBuildings()->getFirstNode(); n; n = n->getNext())
    sendNow(cCreateObjectMessage(gameTurn, n->myData()));
  for (cObjectListNode* n = map->getUnits()->getFirstNode(); n; n = n->getNext())
    sendNow(cCreateUnitMessage(gameTurn, static_cast<cBaseUnit*>(n->myData())));
  sendNow(cMapMessage(gameTurn, "///"));
  return 0;
}

void cPlayer::sendChat(const char* text)
{
  const int n = text ? int(strnlen(text, maxChatText)) : 0;
  const int length = 2 + 3 + n;
  char* frame = new char[length + 1]();
  frame[1] = char(length);
  std::memcpy(frame + 2, "MSA", 3);
  if (n) std::memcpy(frame + 5, text, size_t(n));
  addToQueue(frame, length);
  processQueue();
}

void cPlayer::disconnect()
{
  sendNow(cCloseMessage(gameTurn));
  disconnectQueue();
  connected = false;
}
