#ifndef KORVANE_SERVER_SERVERENGINE_H
#define KORVANE_SERVER_SERVERENGINE_H
// The game server: one listening socket, one thread per connection, one shared 100 x 100
// map. Process-wide state only; never instantiated. The five mutexes are never nested.
#include <pthread.h>

#include <atomic>

class cConnection;
class cMap;
class cMessage;
class cPlayer;
class cPlayerList;

class cServerEngine {
public:
  cServerEngine() = delete;

  // Listens on argv[1] (default 15201) until "DIE"; 0 then. Start-up errors exit with 1.
  static int start(int argc, char** argv);
  static void* serverthread(void* arg);  // arg: the accepted descriptor; closes it
  // -1: failed the version check or closed; 0: ended by command.
  static int doRequest(int fd);
  static int checkVersion(int fd);  // 1 when the first frame announces a version
  static int processGlobalCommands(const char* text);              // before registration
  static int processGlobalCommands(const char* text, cPlayer* p);  // after it
  static void listPlayers(cPlayer* p);  // p may be null: the console only
  // Copies src up to stop or its end into dst, cut to room - 1 characters and terminated;
  // returns the length of src up to stop (the stop is neither copied nor counted).
  static int readUntil(char* dst, const char* src, char stop, int room = 128);

  static cPlayerList* players;  // guarded by mut_playerList; players are never removed
  static cMap* theMap;          // guarded by mut_theMap
  static std::atomic<bool> mapok;
  static std::atomic<bool> quit;
  static long playerID;  // the next ID to hand out; guarded by mut_playerID
  static int visits;     // guarded by mut
  static pthread_mutex_t mut;
  static pthread_mutex_t mut_playerID;
  static pthread_mutex_t mut_playerList;
  static pthread_mutex_t mut_theMap;
  static pthread_mutex_t mut_decodeMessage;

private:
  static int parsePort(int argc, char** argv);
  static int openListener(int port);
  static void acceptLoop(int listener);
  static cPlayer* registerPlayer(const char* body, cConnection& conn);
  static cPlayer* takeOver(const char* name, const char* host, cConnection& conn);
  static cPlayer* addNewPlayer(const char* name, const char* host, cConnection& conn, bool& dup);
  static cPlayer* handshake(cConnection& conn, bool& ended);
  static int serve(cPlayer* p, cConnection& conn);
  static void handleFrame(const char* body, int length, cPlayer* p, cConnection& conn);
  static void handleMap(const cMessage* m, cConnection& conn);
  static bool applyChange(const cMessage* m);
  static void applyMove(const cMessage* m);
  static void applyCreate(const cMessage* m);
  static void applyArea(const cMessage* m);
  static void relay(cPlayer* from, const cMessage* m);
  static void sendText(const char* text, cPlayer* p);
};

#endif
