#include "server/serverengine.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <set>
#include <string>

#include "net/changemessage.h"
#include "net/message.h"
#include "net/player.h"
#include "net/protocol.h"
#include "net/savegame.h"
#include "server/commandline.h"
#include "server/connection.h"
#include "server/console.h"
#include "world/map.h"

namespace {

const int handshakeTimeoutSeconds = 60;
// Relays wake a waiting thread at once; the timeout only bounds a wait nothing ends.
const int idleWaitMs = 1000;
// The accept loop looks at the quit flag at least this often.
const int acceptWaitMs = 5000;
// After a failed accept the loop waits this long before it tries again.
const int acceptRetryMs = 100;
// Every frame fits whole: no body is ever split into a frame and a remainder read as the next.
const int gameBufferSize = 65535;
// How long the players' threads get to send the farewell before their sockets are shut.
const int farewellWaitMs = 500;
const char* const farewell = "Server shutting down.";
// Texts of "MSG" and "MSA" are cut to this many characters, before the sender's name.
const int textRoom = 127;

// The server the program's signal handler stops; null outside start().
std::atomic<cServerEngine*> signalTarget{nullptr};

void onStopSignal(int)
{
  cServerEngine* s = signalTarget.load();
  if (s) s->stop();
}

void catchStopSignals()
{
  struct sigaction a = {};
  a.sa_handler = onStopSignal;
  sigemptyset(&a.sa_mask);
  a.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &a, nullptr);
  sigaction(SIGINT, &a, nullptr);
  // A server started in the background of a terminal must not be stopped for reading it:
  // the read fails instead, and the console ends.
  signal(SIGTTIN, SIG_IGN);
}

// The text of a command after its three letters and one optional space.
const char* argumentOf(const char* command)
{
  return command[3] == ' ' ? command + 4 : command + 3;
}

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
  cServerOptions options;
  std::string bad;
  switch (readCommandLine(argc, argv, options, bad)) {
    case clHelp: std::fputs(serverUsage(), stdout); return 0;
    case clVersion: std::fputs(serverVersionLine().c_str(), stdout); return 0;
    case clBadPort:
      // "/n", not a line break: the system's own message, kept as it stands on purpose.
      std::fprintf(stderr, "bad port number %s/n", bad.c_str());
      return 1;
    case clBadUsage: std::fprintf(stderr, "korvaned: %s\n%s", bad.c_str(), serverUsage()); return 1;
    case clRun: break;
  }
  cServerEngine server;
  server.setOperatorAddresses(options.operatorAddresses);
  if (!options.stateFile.empty() &&
      !server.keepState(options.stateFile, options.saveIntervalSeconds))
    return 1;
  if (!server.listen(options.port)) return 1;
  signalTarget = &server;
  catchStopSignals();
  bool ended;
  {
    cServerConsole input(server, STDIN_FILENO);
    ended = server.run();
  }
  signalTarget = nullptr;
  return ended ? 0 : 1;
}

void cServerEngine::setOperatorAddresses(const std::vector<std::string>& addresses)
{
  operators.set(addresses);
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

// A listener that no longer works ends the server as "DIE" does, so that the players are
// told and the game is written.
bool cServerEngine::run()
{
  bool accepting = true;
  long failures = 0;  // in the current burst of failed accepts
  while (!quit && accepting) {
    const int fd = acceptWithin(listener, acceptWake, acceptWaitMs);
    if (fd == -2) {
      accepting = acceptFailed(errno, failures);
      continue;
    }
    if (fd < 0) continue;
    if (failures) say("SERVER: accepting again after %ld failed accepts.\n", failures);
    failures = 0;
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
  const bool saved = shutDown();
  return accepting && saved;
}

// Running out of descriptors or memory passes once connections end, but the connection that
// could not be taken stays queued and keeps the listener readable: accepting again at once
// would spin. One report per burst; false when the listener itself is broken.
bool cServerEngine::acceptFailed(int error, long& failures)
{
  const bool lasting = acceptFailureLasts(error);
  if (failures++ == 0 || lasting) {
    std::fputs("accept failed\n", errors);
    if (lasting)
      std::fprintf(errors, "accept: %s.\n", std::strerror(error));
    else
      std::fprintf(errors, "accept: %s; trying again every %d ms.\n", std::strerror(error),
                   acceptRetryMs);
    std::fflush(errors);
  }
  if (lasting) return false;
  waitReadableOrWoken(-1, acceptWake, acceptRetryMs);
  return true;
}

void cServerEngine::stop()
{
  quit = true;
  acceptWake.signal();
}

// Each serving thread sends what is queued before it looks at `closing` again, so the
// farewell leaves ahead of the end of its connection. Connections that serve no player have
// nothing to send: they are shut at once.
bool cServerEngine::shutDown()
{
  say("%s\n", farewell);
  std::set<int> playing;
  {
    std::lock_guard<std::mutex> lock(mut_playerList);
    players.sendMessageAll(nullptr, cTextMessage::serverTextID, farewell);
    closing = true;
    for (cPlayerNode* n = players.getFirstNode(); n; n = n->getNext()) {
      if (n->myServeFd() >= 0) playing.insert(n->myServeFd());
      n->wakeUp();
    }
  }
  waitForConnectionsToEnd(playing, farewellWaitMs);
  endConnections();
  return !keeper || keeper->saveNow();  // no connection is left to change the game now
}

void cServerEngine::waitForConnectionsToEnd(const std::set<int>& playing, int ms)
{
  std::unique_lock<std::mutex> lock(mut_threads);
  threadEnded.wait_for(lock, std::chrono::milliseconds(ms), [&] {
    for (const cServedThread& t : served)
      if (!t.done && playing.count(t.fd)) return false;
    return true;
  });
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
  std::lock_guard<std::mutex> lock(mut_threads);
  me->done = true;
  threadEnded.notify_all();
}

int cServerEngine::checkVersion(cConnection& conn)
{
  say("%i\n", quit ? 1 : 0);
  char body[16] = {};
  const bool read = conn.link.recvMessage(body, 15);
  if (read && !std::strncmp(body, "DNM", 3)) {
    say("Version found %s\n", body + 3);
    return 1;
  }
  processGlobalCommands(body, conn);
  say("Error in version string\n");
  return 0;
}

int cServerEngine::doRequest(int fd)
{
  cConnection conn(*this, fd);
  cOperatorAddresses::cAddress address;
  conn.fromOperator = peerOf(fd, address, conn.peer) && operators.contains(address);
  if (!conn.usable()) {
    say("SERVER: no descriptor left to serve %s.\n", conn.peer.c_str());
    return -1;
  }
  setReceiveTimeout(fd, handshakeTimeoutSeconds);
  if (!checkVersion(conn)) return -1;
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
    if (processGlobalCommands(body, conn) == -1) {
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
  // On the connection's own queue: whatever was relayed to the player since the claim
  // follows the reply instead of reaching the client as its reply.
  const cRegisterMessage reply(0, dup ? "DUP" : "OK_", p->myID());
  conn.link.addToQueue(reply.encode(), reply.encodedlength());
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
    const bool last = closing;
    if (!conn.flush()) return -1;
    if (last) return 0;
    std::memset(buffer.get(), 0, gameBufferSize + 1);
    const int r = conn.link.recvMessageNonBlocking(buffer.get(), gameBufferSize);
    if (r == 0) return -1;
    if (r < 0) {
      conn.waitForWork(idleWaitMs);
      continue;
    }
    if (processGlobalCommands(buffer.get(), p, conn) != 0) continue;
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
    handleMap(m, p, conn);
  } else if (m->getType() == mtClose) {
    say("Player: CLS\n");
    conn.close();
  } else if (applyChange(m)) {
    relay(p, m);
  }
}

void cServerEngine::handleMap(const cMessage* m, cPlayer* p, cConnection& conn)
{
  const cMapMessage* map = static_cast<const cMapMessage*>(m);
  if (!std::strcmp(map->type(), "???")) {
    {
      std::lock_guard<std::mutex> lock(mut_theMap);
      if (mapok) {
        conn.queueMap(theMap.get());
      } else {
        asked.insert(p);
        conn.link.addToQueue(cMapMessage(0, "REC").encode(), 12);
      }
    }
    conn.link.processQueue();
  } else if (!std::strcmp(map->type(), "TER")) {
    takeTerrain(m, p);
  }
}

// The map is uploaded once, by a player asked for it: a later upload would give every joiner
// a map the players do not have. A layer cut short, or one of no cells, would do the
// same, so only a whole one is taken. The game takes the terrain's size, as every joiner's
// map and a restart from the saved game do: terrain alone of another size would leave the
// other layers, and what may stand on them, at the old one. Nothing stands on the map yet.
void cServerEngine::takeTerrain(const cMessage* m, const cPlayer* p)
{
  const cMapMessage* map = static_cast<const cMapMessage*>(m);
  say("blahblah\n");  // the system's own console line, kept as it is
  bool taken = false;
  {
    std::lock_guard<std::mutex> lock(mut_theMap);
    taken = !mapok && asked.count(p) && map->carriesWholeLayer();
    if (taken) {
      theMap.reset(new cMap(map->maplayer()->myMaxPos()));
      theMap->getLayer(LAYER_TERRAIN)->copy(map->maplayer());
      mapok = true;
    }
  }
  if (!taken) {
    say("refused TER from %s@%s\n", p->getName(), p->getHost());
    return;
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

int cServerEngine::processGlobalCommands(const char* text, const cConnection& from)
{
  if (!std::strncmp(text, "DIE", 3)) {
    stopFrom(from.peer.c_str(), from.fromOperator);
    return 1;
  }
  if (!std::strncmp(text, "LST", 3)) {
    listPlayers(nullptr);
    return 1;
  }
  return std::strncmp(text, "CLS", 3) ? 0 : -1;
}

// A "DIE" of a registered player is a command too, never a frame to decode and relay.
int cServerEngine::processGlobalCommands(const char* text, cPlayer* p, const cConnection& from)
{
  if (!std::strncmp(text, "DIE", 3)) {
    stopFrom(from.peer.c_str(), from.fromOperator);
    return 1;
  }
  if (!std::strncmp(text, "LST", 3)) {
    say("P: LST\n");
    listPlayers(p);
    return 1;
  }
  if (!std::strncmp(text, "MSG", 3)) {
    tellOne(argumentOf(text), p, p->myID(), p->getName());
    return 1;
  }
  if (!std::strncmp(text, "MSA", 3)) {
    tellAll(p, argumentOf(text), p->myID(), p->getName());
    return 1;
  }
  return 0;
}

void cServerEngine::consoleCommand(const char* line)
{
  const long server = cTextMessage::serverTextID;
  if (!std::strncmp(line, "DIE", 3))
    stopFrom("the console", true);
  else if (!std::strncmp(line, "LST", 3))
    listPlayers(nullptr);
  else if (!std::strncmp(line, "MSG", 3))
    tellOne(argumentOf(line), nullptr, server, "server");
  else if (!std::strncmp(line, "MSA", 3))
    tellAll(nullptr, argumentOf(line), server, "server");
  else if (*line)
    say("Unknown command: %.40s (DIE, LST, MSG name@host:text, MSA text)\n", line);
}

void cServerEngine::stopFrom(const char* who, bool isOperator)
{
  if (!isOperator) {
    say("refused DIE from %s\n", who);
    return;
  }
  say("DIE!\n");
  stop();
}

namespace {

// "sender: text", the text taken up to a line break and cut to textRoom characters.
std::string spoken(const char* sender, const char* text)
{
  char cut[textRoom + 1];
  cServerEngine::readUntil(cut, text, '\n', sizeof cut);
  return std::string(sender) + ": " + cut;
}

}  // namespace

// A name nobody registered is answered, so that the sender does not wait for a reply that
// cannot come.
void cServerEngine::tellOne(const char* nameHostText, cPlayer* asker, long fromID,
                            const char* sender)
{
  char name[128], host[128];
  const char* at = nameHostText;
  at += readUntil(name, at, '@');
  if (*at) ++at;
  at += readUntil(host, at, ':');
  if (*at) ++at;
  const std::string message = spoken(sender, at);
  say("P: '%s', H: '%s', M: '%s'\n", name, host, message.c_str());
  const std::string unknown = std::string("No player ") + name + "@" + host + ".";
  {
    std::lock_guard<std::mutex> lock(mut_playerList);
    if (players.sendMessage(name, host, fromID, message.c_str())) return;
    cPlayerNode* node = asker ? players.findNode(asker) : nullptr;
    if (node) {
      const cTextMessage answer(0, cTextMessage::serverTextID, unknown.c_str());
      node->deliver(answer.encode(), answer.encodedlength());
    }
  }
  say("%s\n", unknown.c_str());
}

void cServerEngine::tellAll(const cPlayer* except, const char* text, long fromID,
                            const char* sender)
{
  const std::string message = spoken(sender, text);
  std::lock_guard<std::mutex> lock(mut_playerList);
  players.sendMessageAll(except, fromID, message.c_str());
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
    std::snprintf(line, sizeof line, "k=%i-%s@%s player", k, q->getName(), q->getHost());
    const cTextMessage text(0, cTextMessage::serverTextID, line);
    p->addToQueue(text.encode(), text.encodedlength());
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

bool cServerEngine::keepState(const std::string& file, double intervalSeconds)
{
  std::string reason;
  bool missing = false;
  std::unique_ptr<cMap> kept = readSavedGame(file, reason, missing);
  if (kept) {
    std::lock_guard<std::mutex> lock(mut_theMap);
    theMap = std::move(kept);
    mapok = true;
    say("Game read from state %s.\n", file.c_str());
  } else if (!missing) {
    std::fprintf(errors, "Could not read state %s: %s. Starting without a map.\n", file.c_str(),
                 reason.c_str());
    std::string why;
    const std::string aside = setAsideSavedGame(file, why);
    if (aside.empty()) {
      std::fprintf(errors, "Could not set %s aside: %s.\n", file.c_str(), why.c_str());
      std::fflush(errors);
      return false;  // the next write would replace the game it holds
    }
    std::fprintf(errors, "Kept it as %s.\n", aside.c_str());
    std::fflush(errors);
  }
  keeper.reset(new cStateKeeper(file, intervalSeconds, console,
                                [this](std::string& bytes) { return snapshotGame(bytes); }));
  keeper->start();
  return true;
}

// Only the copy is taken under the lock: relays wait for that, not for the encoding.
bool cServerEngine::snapshotGame(std::string& bytes)
{
  cGameCopy game;
  {
    std::lock_guard<std::mutex> lock(mut_theMap);
    if (!mapok) return false;
    game.take(*theMap);
  }
  return game.encode(bytes);
}
