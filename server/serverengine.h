#ifndef KORVANE_SERVER_SERVERENGINE_H
#define KORVANE_SERVER_SERVERENGINE_H
// The game server: one listening socket, one thread per connection, one shared map, 100 x 100
// until the first upload gives it the size of the uploaded terrain. Each server is an object
// handed to its connections, so several can live in one process. The five mutexes are never
// nested. Every text a player gets is a framed text message; only operators (an operator
// address, or the console) stop the server.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"
#include "server/operators.h"
#include "server/playerlist.h"
#include "server/statekeeper.h"

class cConnection;
class cMap;
class cMessage;
class cPlayer;

class cServerEngine {
public:
  // console: the progress lines (standard output for the program); errors: start-up and
  // failure lines (standard error). Neither is closed by the server.
  explicit cServerEngine(FILE* console = stdout, FILE* errors = stderr);
  // Stops the accept loop, ends every connection and waits for its thread.
  ~cServerEngine();
  cServerEngine(const cServerEngine&) = delete;
  cServerEngine& operator=(const cServerEngine&) = delete;

  // The program (its command line in server/commandline.h): serves until "DIE", SIGTERM or
  // SIGINT, then shuts down; 0 then, 1 when the command line is bad, the state file cannot be
  // read or set aside, the port cannot be listened on, or the game could not be written.
  // Standard input is the operator's console.
  static int start(int argc, char** argv);

  // The addresses whose connections may send "DIE"; empty: 127.0.0.1 and ::1. Call before
  // listen().
  void setOperatorAddresses(const std::vector<std::string>& addresses);
  // Listens on port (0: any free one) and writes "Server up and running."; false (with the
  // failure line written) when that fails.
  bool listen(int port);
  int port() const { return listeningPort; }
  // The accept loop, then shutDown(): true once "DIE" or stop() ended it, false when the
  // listener broke or shutDown() could not write the game. An accept that fails for want of
  // descriptors or memory is tried again every 100 ms, reported once per burst. Destroy the
  // server only after run() has returned.
  bool run();
  void stop();  // any thread; async-signal-safe
  // The end of a game: every connected player is sent "Server shutting down.", and every
  // connection ends within a second, its thread joined; then the game is written to its state
  // file if it changed. False when that write failed. run() calls it once its loop ended.
  bool shutDown();
  // Whether the game has its map: uploaded once, by a player told there was none, and never
  // replaced.
  bool hasMap() const { return mapok; }

  // -1: failed the version check or closed; 0: ended by command.
  int doRequest(int fd);
  int checkVersion(cConnection& conn);  // 1: the first frame announces a version
  // Commands before registration ("DIE", "LST", "CLS"), from the connection's peer.
  int processGlobalCommands(const char* text, const cConnection& from);
  // Commands of a registered player p ("DIE", "LST", "MSG", "MSA").
  int processGlobalCommands(const char* text, cPlayer* p, const cConnection& from);
  // One line of the operator's console: "DIE", "LST", "MSG name@host:text", "MSA text".
  void consoleCommand(const char* line);
  void listPlayers(cPlayer* p);  // p may be null: the console only
  // Copies src up to stop or its end into dst, cut to room - 1 characters and terminated;
  // returns the length of src up to stop (the stop is neither copied nor counted).
  static int readUntil(char* dst, const char* src, char stop, int room = 128);

  // Takes the game from file (a missing file is no error; one that cannot be read is set
  // aside, and the server starts without a map), then keeps writing it there at most every
  // intervalSeconds while the game changes. Call before listen(). False when an unreadable
  // file could not be set aside.
  bool keepState(const std::string& file, double intervalSeconds);
  // The whole game as a saved game, copied under the map lock and encoded outside it; false
  // before there is a map.
  bool snapshotGame(std::string& bytes);

  // Calls look with the map under its lock; for tests and tools.
  void inspectMap(const std::function<void(const cMap&)>& look);

  // Shared with the connections; see the lock named for each.
  cPlayerList players;  // guarded by mut_playerList; players are never removed
  std::mutex mut_playerList;

private:
  struct cServedThread;

  void serverthread(cServedThread* served);
  bool acceptFailed(int error, long& failures);
  void reapFinished();
  // Until the threads of the connections in playing (accepted descriptors) have ended.
  void waitForConnectionsToEnd(const std::set<int>& playing, int ms);
  void endConnections();
  void say(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void stopFrom(const char* who, bool isOperator);
  // "MSG" and "MSA": the text goes out as "sender: text", with the sender's ID. A "MSG" to
  // no registered player tells asker so (null: the console, which only prints it).
  void tellOne(const char* nameHostText, cPlayer* asker, long fromID, const char* sender);
  void tellAll(const cPlayer* except, const char* text, long fromID, const char* sender);
  cPlayer* registerPlayer(const char* body, cConnection& conn);
  cPlayer* takeOver(const char* name, const char* host, cConnection& conn);
  cPlayer* addNewPlayer(const char* name, const char* host, cConnection& conn, bool& dup);
  cPlayer* handshake(cConnection& conn, bool& ended);
  int serve(cPlayer* p, cConnection& conn);
  void handleFrame(const char* body, int length, cPlayer* p, cConnection& conn);
  void handleMap(const cMessage* m, cPlayer* p, cConnection& conn);
  void takeTerrain(const cMessage* m, const cPlayer* p);
  bool applyChange(const cMessage* m);
  void relay(cPlayer* from, const cMessage* m);

  FILE* console;
  FILE* errors;
  std::unique_ptr<cMap> theMap;  // guarded by mut_theMap
  std::atomic<bool> mapok{false};
  std::set<const cPlayer*> asked;  // the players told "REC"; guarded by mut_theMap
  std::atomic<bool> quit{false};
  std::atomic<bool> closing{false};  // set once the players were told the server shuts down
  cOperatorAddresses operators;      // set before listening, then only read
  long playerID = 0;                 // the next ID to hand out; guarded by mut_playerID
  int visits = 0;                    // guarded by mut
  std::mutex mut;
  std::mutex mut_playerID;
  std::mutex mut_theMap;
  std::mutex mut_decodeMessage;

  std::unique_ptr<cStateKeeper> keeper;  // null without a state file
  int listener = -1;
  int listeningPort = 0;
  cWakeup acceptWake;
  std::mutex mut_threads;  // guards served
  std::condition_variable threadEnded;
  std::list<cServedThread> served;  // one per accepted connection still to be joined
};

#endif
