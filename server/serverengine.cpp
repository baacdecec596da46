#include "server/serverengine.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "net/changemessage.h"
#include "net/message.h"
#include "net/player.h"
#include "net/protocol.h"
#include "net/savegame.h"
#include "server/connection.h"
#include "world/map.h"

namespace {

const int handshakeTimeoutSeconds = 60;
// Relays wake a waiting thread at once; the timeout only bounds a wait nothing ends.
const int idleWaitMs = 1000;
// The accept loop looks at the quit flag at least this often.
const int acceptWaitMs = 5000;
// Every frame fits whole: no body is ever split into a frame and a remainder read as the next.
const int gameBufferSize = 65535;

}  // namespace

struct cServerEngine::cServedThread {
  explicit cServedThread(int socket) : fd(socket) {}
  int fd;  // -1 once the thread has let go of it; guarded by mut_threads
  std::atomic<bool> done{false};
  std::thread thread;
};

cServerEngine::cServerEngine(FILE* out, FILE* err)
    : players(out), console(out), errors(err), theMap(new cMap(cPoint(100, 100)))
{
}

cServerEngine::~cServerEngine()
{
  stop();
  endConnections();
  closeSocket(listener);
  for (cPlayerNode* n = players.getFirstNode(); n; n = n->getNext()) delete n->myData();
}

void cServerEngine::say(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  std::vfprintf(console, format, args);
  va_end(args);
  std::fflush(console);
}

int cServerEngine::start(int argc, char** argv)
{
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // console lines must not wait in a buffer
  cStateOptions state;
  std::string bad;
  if (!takeStateOptions(argc, argv, state, bad)) {
    std::fprintf(stderr, "korvaned: %s\n", bad.c_str());
    return 1;
  }
  int port = defaultPort;
  if (argc >= 2 && !parsePort(argv[1], port)) {
    // "/n", not a line break: the system's own message, kept as it stands on purpose.
    std::fprintf(stderr, "bad port number %s/n", argv[1]);
    return 1;
  }
  // Never destroyed: "DIE" ends the process together with every connection thread.
  static cServerEngine* server = new cServerEngine();
  if (!server->keepState(state) || !server->listen(port)) return 1;
  const bool ended = server->run();
  const bool saved = server->saveState();
  server->letConnectionsRun();
  return ended && saved ? 0 : 1;
}

bool cServerEngine::listen(int port)
{
  eListenFailure failure = lfNone;
  listener = openListener(port, failure);
  if (listener < 0) {
    std::fputs(listenFailureText(failure), errors);
    return false;
  }
  listeningPort = boundPort(listener);
  std::fputs("Server up and running.\n", errors);
  std::fflush(errors);
  return true;
}

bool cServerEngine::run()
{
  while (!quit) {
    const int fd = acceptWithin(listener, acceptWake, acceptWaitMs);
    if (fd == -2) {
      std::fputs("accept failed\n", errors);
      std::fflush(errors);
      return false;
    }
    if (fd < 0) continue;
    reapFinished();
    {
      std::lock_guard<std::mutex> lock(mut_threads);
      served.emplace_back(fd);
      served.back().thread = std::thread(&cServerEngine::serverthread, this, &served.back());
    }
    say("SERVER: Waiting for more contact ...\n");
  }
  closeSocket(listener);
  listener = -1;
  listPlayers(nullptr);
  return true;
}

void cServerEngine::stop()
{
  quit = true;
  acceptWake.signal();
}

// Joins the threads that have ended, so that a long run keeps only the live ones.
void cServerEngine::reapFinished()
{
  std::lock_guard<std::mutex> lock(mut_threads);
  for (auto t = served.begin(); t != served.end();) {
    if (!t->done) {
      ++t;
      continue;
    }
    t->thread.join();
    t = served.erase(t);
  }
}

// The threads' records stay: a thread still running keeps using its own.
void cServerEngine::letConnectionsRun()
{
  std::lock_guard<std::mutex> lock(mut_threads);
  for (cServedThread& t : served) {
    if (t.done)
      t.thread.join();
    else
      t.thread.detach();
  }
}

void cServerEngine::endConnections()
{
  {
    std::lock_guard<std::mutex> lock(mut_threads);
    for (cServedThread& t : served) shutdownSocket(t.fd);
  }
  // The threads end on their own now; none takes mut_threads before letting go of its socket.
  for (cServedThread& t : served) t.thread.join();
  served.clear();
}

void cServerEngine::serverthread(cServedThread* me)
{
  int n;
  {
    std::lock_guard<std::mutex> lock(mut);
    n = ++visits;
  }
  const int r = doRequest(me->fd);
  say("Return: %i\n", r);
  listPlayers(nullptr);
  char text[80];
  std::snprintf(text, sizeof text, "This server has been contacted %d time%s\n", n,
                n == 1 ? "." : "s.");
  say("SERVER thread: %s", text);
  int fd;
  {
    std::lock_guard<std::mutex> lock(mut_threads);
    fd = me->fd;
    me->fd = -1;
  }
  closeSocket(fd);
  me->done = true;
}

int cServerEngine::checkVersion(int fd)
{
  say("%i\n", quit ? 1 : 0);
  char body[16] = {};
  cNetworkQueue q(fd);
  const bool read = q.recvMessage(body, 15);
  q.setSocket(0);  // the thread closes the descriptor, not this queue
  if (read && !std::strncmp(body, "DNM", 3)) {
    say("Version found %s\n", body + 3);
    return 1;
  }
  processGlobalCommands(body);
  say("Error in version string\n");
  return 0;
}

int cServerEngine::doRequest(int fd)
{
  cConnection conn(*this, fd);
  setReceiveTimeout(fd, handshakeTimeoutSeconds);
  if (!checkVersion(fd)) return -1;
  say("version neg ok\n");
  const cVersionMessage version(protocolVersion, 'L');
  conn.link.addToQueue(version.encode(), version.encodedlength());
  conn.link.processQueue();
  bool ended = false;
  cPlayer* p = handshake(conn, ended);
  if (!p) return ended ? 0 : -1;
  setReceiveTimeout(fd, 0);
  return serve(p, conn);
}

// The registration loop: null when the connection ended before registering (ended: by
// command).
cPlayer* cServerEngine::handshake(cConnection& conn, bool& ended)
{
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

cPlayer* cServerEngine::registerPlayer(const char* body, cConnection& conn)
{
  char name[128], host[128];
  const char* at = body + 3;
  at += readUntil(name, at, '@');
  say("Player Name: %s\n", name);
  if (*at) ++at;
  readUntil(host, at, '\n');
  say("Host Name: %s\n", host);
  bool dup = true;
  cPlayer* p = takeOver(name, host, conn);
  if (!p) p = addNewPlayer(name, host, conn, dup);
  if (dup) say("player is already in list\n");
  const cRegisterMessage reply(0, dup ? "DUP" : "OK_", p->myID());
  {
    std::lock_guard<std::mutex> lock(mut_playerList);
    p->addToQueue(reply.encode(), reply.encodedlength());
  }
  conn.flush();
  return p;
}

cPlayer* cServerEngine::takeOver(const char* name, const char* host, cConnection& conn)
{
  std::lock_guard<std::mutex> lock(mut_playerList);
  cPlayer* p = players.findPlayer(name, host);
  if (p) conn.claim(p);
  return p;
}

// The ID is taken before the list is locked again (the locks never nest), so the list is
// searched once more: of two simultaneous registrations of one name only one is added.
cPlayer* cServerEngine::addNewPlayer(const char* name, const char* host, cConnection& conn,
                                     bool& dup)
{
  cPlayer* fresh;
  {
    std::lock_guard<std::mutex> lock(mut_playerID);
    fresh = new cPlayer(playerID, 0);
    playerID += 1;
  }
  fresh->setPlayerInfo(name, host);
  cPlayer* p;
  {
    std::lock_guard<std::mutex> lock(mut_playerList);
    p = players.findPlayer(name, host);
    dup = p != nullptr;
    if (!p) {
      players.addPlayer(fresh);
      p = fresh;
    }
    conn.claim(p);
  }
  if (p != fresh) delete fresh;
  return p;
}

int cServerEngine::serve(cPlayer* p, cConnection& conn)
{
  std::unique_ptr<char[]> buffer(new char[gameBufferSize + 1]);
  for (;;) {
    if (!conn.flush()) return -1;
    std::memset(buffer.get(), 0, gameBufferSize + 1);
    const int r = conn.link.recvMessageNonBlocking(buffer.get(), gameBufferSize);
    if (r == 0) return -1;
    if (r < 0) {
      conn.waitForWork(idleWaitMs);
      continue;
    }
    if (processGlobalCommands(buffer.get(), p) != 0) continue;
    handleFrame(buffer.get(), conn.link.lastBodyLength(), p, conn);
  }
}

void cServerEngine::handleFrame(const char* body, int length, cPlayer* p, cConnection& conn)
{
  std::unique_ptr<cDecodeMessage> decoded;
  {
    std::lock_guard<std::mutex> lock(mut_decodeMessage);
    decoded.reset(new cDecodeMessage(body, length));
  }
  const cMessage* m = decoded->realMessage();
  if (!mapok && m->getType() != mtMap) {
    say("Player: sending info before MAP\n");
    return;
  }
  if (m->getType() == mtMap) {
    handleMap(m, conn);
  } else if (m->getType() == mtClose) {
    say("Player: CLS\n");
    conn.close();
  } else if (applyChange(m)) {
    relay(p, m);
  }
}

void cServerEngine::handleMap(const cMessage* m, cConnection& conn)
{
  const cMapMessage* map = static_cast<const cMapMessage*>(m);
  if (!std::strcmp(map->type(), "???")) {
    {
      std::lock_guard<std::mutex> lock(mut_theMap);
      if (mapok)
        conn.queueMap(theMap.get());
      else
        conn.link.addToQueue(cMapMessage(0, "REC").encode(), 12);
    }
    conn.link.processQueue();
  } else if (!std::strcmp(map->type(), "TER")) {
    takeTerrain(m);
  }
}

// A layer cut short, or one of no cells, would give every later joiner an empty map while
// the players keep theirs: only a whole one replaces the terrain.
void cServerEngine::takeTerrain(const cMessage* m)
{
  const cMapMessage* map = static_cast<const cMapMessage*>(m);
  say("blahblah\n");  // the system's own console line, kept as it is
  if (!map->carriesWholeLayer()) return;
  {
    std::lock_guard<std::mutex> lock(mut_theMap);
    theMap->getLayer(LAYER_TERRAIN)->copy(map->maplayer());
    mapok = true;
  }
  if (keeper) keeper->changed();
}

namespace {

void changeLine(const cMessage* m, char* line, size_t room)
{
  switch (m->getType()) {
    case mtMove: {
      const cMoveMessage* move = static_cast<const cMoveMessage*>(m);
      std::snprintf(line, room, "Player: MOV %x%x-%x%x\n", move->to().x, move->to().y,
                    move->from().x, move->from().y);
      break;
    }
    case mtCreateUnit: std::snprintf(line, room, "Player: CRU \n"); break;
    case mtCreateObject:
      std::snprintf(line, room, "Player: CRE %li\n",
                    static_cast<const cCreateObjectMessage*>(m)->getObject()->getPlayerID());
      break;
    case mtMapSet: std::snprintf(line, room, "Player: SET\n"); break;
    case mtRemove: std::snprintf(line, room, "Player: REM\n"); break;
    case mtDamageArea: std::snprintf(line, room, "Player: DAM\n"); break;
    default: std::snprintf(line, room, "Player: HPC\n"); break;
  }
}

}  // namespace

// Every change is relayed, applied or refused: each player's map refuses it by the same rules.
bool cServerEngine::applyChange(const cMessage* m)
{
  if (!isChangeMessage(*m)) return false;
  char line[64];
  changeLine(m, line, sizeof line);
  say("%s", line);
  std::unique_ptr<cBaseObject> removed;
  bool changed;
  {
    std::lock_guard<std::mutex> lock(mut_theMap);
    changed = applyChangeMessage(*theMap, *m, removed);
  }
  if (changed && keeper) keeper->changed();
  return true;
}

void cServerEngine::relay(cPlayer* from, const cMessage* m)
{
  std::unique_ptr<cMessage> move;
  if (m->getType() == mtMove) {
    const cMoveMessage* received = static_cast<const cMoveMessage*>(m);
    move.reset(new cMoveMessage(0, received->from(), received->to()));
    m = move.get();
  }
  char* frame = m->encode();
  std::lock_guard<std::mutex> lock(mut_playerList);
  players.sendMessageAll(from, frame, m->encodedlength());
}

int cServerEngine::processGlobalCommands(const char* text)
{
  if (!std::strncmp(text, "DIE", 3)) {
    say("DIE!\n");
    // Not woken: the accept loop notices within its wait, and the thread finishes its lines.
    quit = true;
    return 1;
  }
  if (!std::strncmp(text, "LST", 3)) {
    listPlayers(nullptr);
    return 1;
  }
  return std::strncmp(text, "CLS", 3) ? 0 : -1;
}

int cServerEngine::processGlobalCommands(const char* text, cPlayer* p)
{
  if (!std::strncmp(text, "LST", 3)) {
    say("P: LST\n");
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
    say("P: '%s', H: '%s', M: '%s'\n", name, host, message);
    std::lock_guard<std::mutex> lock(mut_playerList);
    players.sendMessage(name, host, message);
    return 1;
  }
  if (!std::strncmp(text, "MSA", 3)) {
    char message[128];
    std::snprintf(message, sizeof message, "MSG%s", text + 3);
    std::lock_guard<std::mutex> lock(mut_playerList);
    players.sendMessageAll(p, message);
    return 1;
  }
  return 0;
}

void cServerEngine::listPlayers(cPlayer* p)
{
  std::lock_guard<std::mutex> lock(mut_playerList);
  int k = 1;
  for (cPlayerNode* n = players.getFirstNode(); n; n = n->getNext(), ++k) {
    cPlayer* q = n->myData();
    if (!p) {
      say("k=%i-%s@%s player %i\n", k, q->getName(), q->getHost(), q->isConnected() ? 1 : 0);
      continue;
    }
    say("k=%i-%s@%s player\n", k, q->getName(), q->getHost());
    char line[512];
    std::snprintf(line, sizeof line, "MSGk=%i-%s@%s player\n", k, q->getName(), q->getHost());
    p->addToQueue(line);
  }
}

int cServerEngine::readUntil(char* dst, const char* src, char stop, int room)
{
  int n = 0;
  for (; src[n] && src[n] != stop; ++n)
    if (n < room - 1) dst[n] = src[n];
  dst[std::min(n, room - 1)] = '\0';
  return n;
}

void cServerEngine::inspectMap(const std::function<void(const cMap&)>& look)
{
  std::lock_guard<std::mutex> lock(mut_theMap);
  look(*theMap);
}

bool cServerEngine::keepState(const cStateOptions& options)
{
  if (options.file.empty()) return true;
  std::string reason;
  bool missing = false;
  std::unique_ptr<cMap> kept = readSavedGame(options.file, reason, missing);
  if (kept) {
    std::lock_guard<std::mutex> lock(mut_theMap);
    theMap = std::move(kept);
    mapok = true;
    say("Game read from state %s.\n", options.file.c_str());
  } else if (!missing) {
    std::fprintf(errors, "Could not read state %s: %s. Starting without a map.\n",
                 options.file.c_str(), reason.c_str());
    std::string why;
    const std::string aside = setAsideSavedGame(options.file, why);
    if (aside.empty()) {
      std::fprintf(errors, "Could not set %s aside: %s.\n", options.file.c_str(), why.c_str());
      std::fflush(errors);
      return false;  // the next write would replace the game it holds
    }
    std::fprintf(errors, "Kept it as %s.\n", aside.c_str());
    std::fflush(errors);
  }
  keeper.reset(new cStateKeeper(options, console,
                                [this](std::string& bytes) { return snapshotGame(bytes); }));
  keeper->start();
  return true;
}

bool cServerEngine::saveState() { return !keeper || keeper->saveNow(); }

bool cServerEngine::snapshotGame(std::string& bytes)
{
  std::lock_guard<std::mutex> lock(mut_theMap);
  return mapok && encodeSavedGame(*theMap, bytes);
}
