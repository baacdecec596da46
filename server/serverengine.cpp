#include "server/serverengine.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "net/message.h"
#include "net/player.h"
#include "server/connection.h"
#include "server/playerlist.h"
#include "world/map.h"

cPlayerList* cServerEngine::players = nullptr;
cMap* cServerEngine::theMap = nullptr;
std::atomic<bool> cServerEngine::mapok{false};
std::atomic<bool> cServerEngine::quit{false};
long cServerEngine::playerID = 0;
int cServerEngine::visits = 0;
pthread_mutex_t cServerEngine::mut;
pthread_mutex_t cServerEngine::mut_playerID;
pthread_mutex_t cServerEngine::mut_playerList;
pthread_mutex_t cServerEngine::mut_theMap;
pthread_mutex_t cServerEngine::mut_decodeMessage;

namespace {

class cLock {
public:
  explicit cLock(pthread_mutex_t& m) : m(m) { pthread_mutex_lock(&m); }
  ~cLock() { pthread_mutex_unlock(&m); }
  cLock(const cLock&) = delete;
  cLock& operator=(const cLock&) = delete;

private:
  pthread_mutex_t& m;
};

const int handshakeTimeoutSeconds = 60;
// Relays wake a waiting thread at once; the timeout only bounds a wait nothing ends.
const int idleWaitMs = 1000;
const int gameBufferSize = 20000;

}  // namespace

int cServerEngine::parsePort(int argc, char** argv) {
  if (argc < 2) return 15201;
  char* end = nullptr;
  errno = 0;
  const long port = std::strtol(argv[1], &end, 10);
  if (end == argv[1] || errno == ERANGE || port <= 0 || port > 65535) {
    std::fprintf(stderr, "bad port number %s/n", argv[1]);
    std::exit(1);
  }
  return int(port);
}

int cServerEngine::openListener(int port) {
  const protoent* tcp = getprotobyname("tcp");
  if (!tcp) {
    std::fputs("cannot map \"tcp\" to protocol number", stderr);
    std::exit(1);
  }
  const int s = ::socket(AF_INET, SOCK_STREAM, tcp->p_proto);
  if (s < 0) {
    std::fputs("socket creation failed\n", stderr);
    std::exit(1);
  }
  const int on = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(uint16_t(port));
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
    std::fputs("bind failed\n", stderr);
    std::exit(1);
  }
  if (::listen(s, 6) < 0) {
    std::fputs("listen failed\n", stderr);
    std::exit(1);
  }
  return s;
}

int cServerEngine::start(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // console lines must not wait in a buffer
  for (pthread_mutex_t* m : {&mut, &mut_playerID, &mut_playerList, &mut_theMap, &mut_decodeMessage})
    pthread_mutex_init(m, nullptr);
  playerID = 0;
  visits = 0;
  quit = false;
  players = new cPlayerList();
  theMap = new cMap(cPoint(100, 100));
  mapok = false;
  const int listener = openListener(parsePort(argc, argv));
  std::fputs("Server up and running.\n", stderr);
  acceptLoop(listener);
  ::close(listener);
  listPlayers(nullptr);
  return 0;
}

void cServerEngine::acceptLoop(int listener) {
  pthread_attr_t detached;
  pthread_attr_init(&detached);
  pthread_attr_setdetachstate(&detached, PTHREAD_CREATE_DETACHED);
  while (!quit) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    timeval wait = {5, 0};
    if (::select(listener + 1, &readable, nullptr, nullptr, &wait) <= 0) continue;
    const int fd = ::accept(listener, nullptr, nullptr);
    if (fd < 0) {
      std::fputs("accept failed\n", stderr);
      std::exit(1);
    }
    pthread_t thread;
    void* arg = reinterpret_cast<void*>(intptr_t(fd));
    if (pthread_create(&thread, &detached, serverthread, arg) != 0) ::close(fd);
    std::printf("SERVER: Waiting for more contact ...\n");
  }
  pthread_attr_destroy(&detached);
}

void* cServerEngine::serverthread(void* arg) {
  const int fd = int(reinterpret_cast<intptr_t>(arg));
  int n;
  {
    cLock lock(mut);
    n = ++visits;
  }
  const int r = doRequest(fd);
  std::printf("Return: %i\n", r);
  listPlayers(nullptr);
  char text[80];
  std::snprintf(text, sizeof text, "This server has been contacted %d time%s\n", n,
                n == 1 ? "." : "s.");
  std::printf("SERVER thread: %s", text);
  ::close(fd);
  return nullptr;
}

int cServerEngine::checkVersion(int fd) {
  std::printf("%i\n", quit ? 1 : 0);
  char body[16] = {};
  cNetworkQueue q(fd);
  const bool read = q.recvMessage(body, 15);
  q.setSocket(0);  // the thread closes the descriptor, not this queue
  if (read && !std::strncmp(body, "DNM", 3)) {
    std::printf("Version found %s\n", body + 3);
    return 1;
  }
  processGlobalCommands(body);
  std::printf("Error in version string\n");
  return 0;
}

int cServerEngine::doRequest(int fd) {
  cConnection conn(fd);
  conn.setReadTimeout(handshakeTimeoutSeconds);
  if (!checkVersion(fd)) return -1;
  std::printf("version neg ok\n");
  const cVersionMessage version("0.26.20", 'L');
  conn.link.addToQueue(version.encode(), version.encodedlength());
  conn.link.processQueue();
  bool ended = false;
  cPlayer* p = handshake(conn, ended);
  if (!p) return ended ? 0 : -1;
  conn.setReadTimeout(0);
  return serve(p, conn);
}

// The registration loop: null when the connection ended before registering (ended: by
// command).
cPlayer* cServerEngine::handshake(cConnection& conn, bool& ended) {
  for (;;) {
    char body[257] = {};
    if (!conn.link.recvMessage(body, 256)) return nullptr;
    cPlayer* p = std::strncmp(body, "REG", 3) ? nullptr : registerPlayer(body, conn);
    if (processGlobalCommands(body) == -1) {
      ended = true;
      return nullptr;
    }
    if (p) return p;
  }
}

cPlayer* cServerEngine::registerPlayer(const char* body, cConnection& conn) {
  char name[128], host[128];
  const char* at = body + 3;
  at += readUntil(name, at, '@');
  std::printf("Player Name: %s\n", name);
  if (*at) ++at;
  readUntil(host, at, '\n');
  std::printf("Host Name: %s\n", host);
  bool dup = true;
  cPlayer* p = takeOver(name, host, conn);
  if (!p) p = addNewPlayer(name, host, conn, dup);
  if (dup) std::printf("player is already in list\n");
  const cRegisterMessage reply(0, dup ? "DUP" : "OK_", p->myID());
  {
    cLock lock(mut_playerList);
    p->addToQueue(reply.encode(), reply.encodedlength());
  }
  conn.flush();
  return p;
}

cPlayer* cServerEngine::takeOver(const char* name, const char* host, cConnection& conn) {
  cLock lock(mut_playerList);
  cPlayer* p = players->findPlayer(name, host);
  if (p) conn.claim(p);
  return p;
}

// The ID is taken before the list is locked again (the locks never nest), so the list is
// searched once more: of two simultaneous registrations of one name only one is added.
cPlayer* cServerEngine::addNewPlayer(const char* name, const char* host, cConnection& conn,
                                     bool& dup) {
  cPlayer* fresh;
  {
    cLock lock(mut_playerID);
    fresh = new cPlayer(playerID, 0);
    playerID += 1;
  }
  fresh->setPlayerInfo(name, host);
  cPlayer* p;
  {
    cLock lock(mut_playerList);
    p = players->findPlayer(name, host);
    dup = p != nullptr;
    if (!p) {
      players->addPlayer(fresh);
      p = fresh;
    }
    conn.claim(p);
  }
  if (p != fresh) delete fresh;
  return p;
}

int cServerEngine::serve(cPlayer* p, cConnection& conn) {
  std::unique_ptr<char[]> buffer(new char[gameBufferSize + 1]);
  for (;;) {
    if (!conn.flush()) return -1;
    std::memset(buffer.get(), 0, gameBufferSize + 1);
    const int length = conn.waitingBodyLength(gameBufferSize);
    const int r = conn.link.recvMessageNonBlocking(buffer.get(), gameBufferSize);
    if (r == 0) return -1;
    if (r < 0) {
      conn.waitForWork(idleWaitMs);
      continue;
    }
    if (processGlobalCommands(buffer.get(), p) != 0) continue;
    handleFrame(buffer.get(), length, p, conn);
  }
}

void cServerEngine::handleFrame(const char* body, int length, cPlayer* p, cConnection& conn) {
  std::unique_ptr<cDecodeMessage> decoded;
  {
    cLock lock(mut_decodeMessage);
    decoded.reset(new cDecodeMessage(body, length));
  }
  const cMessage* m = decoded->realMessage();
  if (!mapok && m->getType() != mtMap) {
    std::printf("Player: sending info before MAP\n");
    return;
  }
  if (m->getType() == mtMap) {
    handleMap(m, conn);
  } else if (m->getType() == mtClose) {
    std::printf("Player: CLS\n");
    conn.close();
  } else if (applyChange(m)) {
    relay(p, m);
  }
}

void cServerEngine::handleMap(const cMessage* m, cConnection& conn) {
  const cMapMessage* map = static_cast<const cMapMessage*>(m);
  if (!std::strcmp(map->type(), "???")) {
    {
      cLock lock(mut_theMap);
      if (mapok)
        conn.queueMap(theMap);
      else
        conn.link.addToQueue(cMapMessage(0, "REC").encode(), 12);
    }
    conn.link.processQueue();
  } else if (!std::strcmp(map->type(), "TER")) {
    std::printf("blahblah\n");
    cLock lock(mut_theMap);
    theMap->getLayer(LAYER_TERRAIN)->copy(map->maplayer());
    mapok = true;
  }
}

namespace {

cRect clipped(const cRect& r, cPoint size) {
  return cRect(std::max(r.left(), 0), std::max(r.top(), 0), std::min(r.right(), size.x),
               std::min(r.bottom(), size.y));
}

bool onMap(const cRect& r, cPoint size) {
  return !r.isEmpty() && clipped(r, size) == r;
}

}  // namespace

bool cServerEngine::applyChange(const cMessage* m) {
  switch (m->getType()) {
    case mtMove:
      applyMove(m);
      return true;
    case mtCreateUnit:
    case mtCreateObject:
      applyCreate(m);
      return true;
    case mtMapSet:
    case mtRemove:
    case mtDamageArea:
    case mtDamageHeal:
      applyArea(m);
      return true;
    default:
      return false;
  }
}

void cServerEngine::applyMove(const cMessage* m) {
  const cMoveMessage* move = static_cast<const cMoveMessage*>(m);
  const cPoint from = move->from(), to = move->to();
  std::printf("Player: MOV %x%x-%x%x\n", to.x, to.y, from.x, from.y);
  cLock lock(mut_theMap);
  cObjectList* units = theMap->getUnits();
  int k = 0;
  for (cObjectListNode* n = units->getFirstNode(); n; n = n->getNext(), ++k) {
    cBaseUnit* u = static_cast<cBaseUnit*>(n->myData());
    if (u->myPosition() != from) continue;
    theMap->setUnit(u->myPosition(), 0);
    u->move(to);
    theMap->setUnit(u->myPosition(), k + 1);
    units->removeElement(n);
    units->addElementPos(u);
    return;
  }
}

// Objects must lie wholly on the map and cover at least one cell: one without a footprint
// takes no cell, so any number of them would fit.
void cServerEngine::applyCreate(const cMessage* m) {
  const bool unit = m->getType() == mtCreateUnit;
  const cBaseObject* o = unit ? static_cast<const cCreateUnitMessage*>(m)->getUnit()
                              : static_cast<const cCreateObjectMessage*>(m)->getObject();
  if (unit)
    std::printf("Player: CRU \n");
  else
    std::printf("Player: CRE %li\n", o->getPlayerID());
  cLock lock(mut_theMap);
  if (!onMap(o->toRectArea(), theMap->getMaxPos())) return;
  cBaseObject* copy = unit ? new cBaseUnit() : new cBaseObject();
  copy->copy(o);
  const bool added = unit ? theMap->addUnit(static_cast<cBaseUnit*>(copy)) : theMap->addBuilding(copy);
  if (!added) delete copy;
}

// A blast reaching farther than the map's width plus height already covers every cell from
// any centre on the map, so larger ones are cut to that and cost no more.
void cServerEngine::applyArea(const cMessage* m) {
  static const char* const lines[] = {"Player: SET\n", "Player: REM\n", "Player: DAM\n",
                                      "Player: HPC\n"};
  const eMessageType t = m->getType();
  std::fputs(lines[t == mtMapSet ? 0 : t == mtRemove ? 1 : t == mtDamageArea ? 2 : 3], stdout);
  cLock lock(mut_theMap);
  const cPoint size = theMap->getMaxPos();
  if (t == mtMapSet) {
    const cMapSetMessage* set = static_cast<const cMapSetMessage*>(m);
    theMap->fillTerrain(clipped(set->getArea(), size), set->getNewType());
  } else if (t == mtRemove) {
    const cRect area = static_cast<const cRemoveMessage*>(m)->getArea();
    if (onMap(area, size) && !theMap->removeBuilding(area)) theMap->removeUnit(area);
  } else if (t == mtDamageArea) {
    const cDamageAreaMessage* d = static_cast<const cDamageAreaMessage*>(m);
    cDamage blast(d->getLevel(), std::min(d->getSize(), size.x + size.y));
    theMap->applyDamage(&blast, d->getCenter().x, d->getCenter().y);
  } else {
    const cDamageHealMessage* h = static_cast<const cDamageHealMessage*>(m);
    cBaseObject* o = theMap->_getObject(h->getPos());
    if (o && o->myID() == h->getObjectID()) o->decrHealth(h->getChange());
  }
}

void cServerEngine::relay(cPlayer* from, const cMessage* m) {
  std::unique_ptr<cMessage> move;
  if (m->getType() == mtMove) {
    const cMoveMessage* received = static_cast<const cMoveMessage*>(m);
    move.reset(new cMoveMessage(0, received->from(), received->to()));
    m = move.get();
  }
  char* frame = m->encode();
  cLock lock(mut_playerList);
  players->sendMessageAll(from, frame, m->encodedlength());
}

int cServerEngine::processGlobalCommands(const char* text) {
  if (!std::strncmp(text, "DIE", 3)) {
    std::printf("DIE!\n");
    quit = true;
    return 1;
  }
  if (!std::strncmp(text, "LST", 3)) {
    listPlayers(nullptr);
    return 1;
  }
  return std::strncmp(text, "CLS", 3) ? 0 : -1;
}

int cServerEngine::processGlobalCommands(const char* text, cPlayer* p) {
  if (!std::strncmp(text, "LST", 3)) {
    std::printf("P: LST\n");
    listPlayers(p);
    return 1;
  }
  if (!std::strncmp(text, "MSG", 3)) {
    char name[128], host[128], message[128] = "MSG";
    const char* at = text + 3;
    at += readUntil(name, at, '@');
    if (*at) ++at;
    at += readUntil(host, at, ':');
    if (*at) ++at;
    readUntil(message + 3, at, '\n', int(sizeof message) - 3);
    std::printf("P: '%s', H: '%s', M: '%s'\n", name, host, message);
    cLock lock(mut_playerList);
    players->sendMessage(name, host, message);
    return 1;
  }
  if (!std::strncmp(text, "MSA", 3)) {
    char message[128];
    std::snprintf(message, sizeof message, "MSG%s", text + 3);
    cLock lock(mut_playerList);
    players->sendMessageAll(p, message);
    return 1;
  }
  return 0;
}

void cServerEngine::listPlayers(cPlayer* p) {
  cLock lock(mut_playerList);
  int k = 1;
  for (cPlayerNode* n = players->getFirstNode(); n; n = n->getNext(), ++k) {
    cPlayer* q = n->myData();
    if (!p) {
      std::printf("k=%i-%s@%s player %i\n", k, q->getName(), q->getHost(),
                  q->isConnected() ? 1 : 0);
      continue;
    }
    std::printf("k=%i-%s@%s player\n", k, q->getName(), q->getHost());
    char line[512];
    std::snprintf(line, sizeof line, "MSGk=%i-%s@%s player\n", k, q->getName(), q->getHost());
    p->addToQueue(line);
  }
}

int cServerEngine::readUntil(char* dst, const char* src, char stop, int room) {
  int n = 0;
  for (; src[n] && src[n] != stop; ++n)
    if (n < room - 1) dst[n] = src[n];
  dst[std::min(n, room - 1)] = '\0';
  return n;
}
