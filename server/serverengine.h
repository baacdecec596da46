#ifndef KORVANE_SERVER_SERVERENGINE_H
#define KORVANE_SERVER_SERVERENGINE_H
// The game server: one listening socket, one thread per connection, one shared 100 x 100
// map. Each server is an object handed to its connections, so several can live in one
// process. The five mutexes are never nested.
#include <atomic>
#include <cstdio>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "net/socket.h"
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

  // The program: listens on argv[1] (default 15201) until "DIE"; 0 then, 1 when the port is
  // bad or cannot be listened on. The server outlives the call: the process ends with its
  // connection threads still running.
  static int start(int argc, char** argv);

  // Listens on port (0: any free one) and writes "Server up and running."; false (with the
  // failure line written) when that fails.
  bool listen(int port);
  int port() const { return listeningPort; }
  // The accept loop: true once "DIE" or stop() ended it, false when accepting failed.
  // Destroy the server only after run() has returned.
  bool run();
  void stop();  // any thread

  // -1: failed the version check or closed; 0: ended by command.
  int doRequest(int fd);
  int checkVersion(int fd);                     // 1: the first frame announces a version
  int processGlobalCommands(const char* text);  // before registration
  int processGlobalCommands(const char* text, cPlayer* p);  // after it
  void listPlayers(cPlayer* p);                             // p may be null: the console only
  // Copies src up to stop or its end into dst, cut to room - 1 characters and terminated;
  // returns the length of src up to stop (the stop is neither copied nor counted).
  static int readUntil(char* dst, const char* src, char stop, int room = 128);

  // Takes the game from options.file (a missing file is no error; one that cannot be read is
  // set aside, and the server starts without a map), then keeps writing it there while the
  // game changes. Call before run(). False when an unreadable file could not be set aside.
  bool keepState(const cStateOptions& options);
  // Writes the kept game now if it changed (the server's last act); true without a state file.
  bool saveState();
  // The whole game as a saved game, copied under the map lock; false before there is a map.
  bool snapshotGame(std::string& bytes);

  // Calls look with the map under its lock; for tests and tools.
  void inspectMap(const std::function<void(const cMap&)>& look);

  // Shared with the connections; see the lock named for each.
  cPlayerList players;  // guarded by mut_playerList; players are never removed
  std::mutex mut_playerList;

private:
  struct cServedThread;

  void serverthread(cServedThread* served);
  void reapFinished();
  void endConnections();
  void letConnectionsRun();  // for a process that ends with its connection threads
  void say(const char* format, ...) __attribute__((format(printf, 2, 3)));
  cPlayer* registerPlayer(const char* body, cConnection& conn);
  cPlayer* takeOver(const char* name, const char* host, cConnection& conn);
  cPlayer* addNewPlayer(const char* name, const char* host, cConnection& conn, bool& dup);
  cPlayer* handshake(cConnection& conn, bool& ended);
  int serve(cPlayer* p, cConnection& conn);
  void handleFrame(const char* body, int length, cPlayer* p, cConnection& conn);
  void handleMap(const cMessage* m, cConnection& conn);
  void takeTerrain(const cMessage* m);
  bool applyChange(const cMessage* m);
  void relay(cPlayer* from, const cMessage* m);

  FILE* console;
  FILE* errors;
  std::unique_ptr<cMap> theMap;  // guarded by mut_theMap
  std::atomic<bool> mapok{false};
  std::atomic<bool> quit{false};
  long playerID = 0;  // the next ID to hand out; guarded by mut_playerID
  int visits = 0;     // guarded by mut
  std::mutex mut;
  std::mutex mut_playerID;
  std::mutex mut_theMap;
  std::mutex mut_decodeMessage;

  std::unique_ptr<cStateKeeper> keeper;  // null without a state file
  int listener = -1;
  int listeningPort = 0;
  cWakeup acceptWake;
  std::mutex mut_threads;           // guards served
  std::list<cServedThread> served;  // one per accepted connection still to be joined
};

#endif
