#ifndef KORVANE_SERVER_PLAYERLIST_H
#define KORVANE_SERVER_PLAYERLIST_H
// Every player registered with the server, in registration order, and delivery of texts and
// frames to their outgoing queues. The list does no locking: every caller holds its server's
// mut_playerList, which also guards each listed player's queue and socket.
#include <cstdio>

class cPlayer;
class cWakeup;

class cPlayerNode {
public:
  explicit cPlayerNode(cPlayer* p) : player(p) {}  // does not own the player
  cPlayerNode(const cPlayerNode&) = delete;
  cPlayerNode& operator=(const cPlayerNode&) = delete;

  cPlayer* myData() const { return player; }
  cPlayerNode* getNext() const { return next; }
  void setNext(cPlayerNode* n) { next = n; }
  void setPrev(cPlayerNode* p) { prev = p; }

  // The connection serving the player: its accepted descriptor (-1 when none) and what wakes
  // its thread when something is queued (may be null); both belong to that thread.
  void attach(int socketFd, const cWakeup* w)
  {
    serveFd = socketFd;
    wake = w;
  }
  void detach() { attach(-1, nullptr); }
  void wakeUp() const;  // the serving thread looks at its player again
  int myServeFd() const { return serveFd; }
  // Bytes queued since the serving thread last took the queue.
  long myPending() const { return pending; }
  void clearPending() { pending = 0; }

  // Queues data (taking it over) and wakes the serving thread; a player whose thread lets
  // more than maxPendingBytes pile up is cut off instead, data is freed and false answered.
  bool deliver(char* data, int length);
  static const long maxPendingBytes;

private:
  void cutOff();

  cPlayer* player;
  cPlayerNode* next = nullptr;
  cPlayerNode* prev = nullptr;
  int serveFd = -1;
  const cWakeup* wake = nullptr;
  long pending = 0;
};

class cPlayerList {
public:
  // console: where a player cut off is reported.
  explicit cPlayerList(FILE* console = stdout) : console(console) {}
  ~cPlayerList();  // frees the nodes, not the players
  cPlayerList(const cPlayerList&) = delete;
  cPlayerList& operator=(const cPlayerList&) = delete;

  bool isEmpty() const { return head == nullptr; }
  cPlayerNode* getFirstNode() const { return head; }
  cPlayerNode* findNode(const cPlayer* p) const;

  void addPlayer(cPlayer* p);
  bool contains(const char* name, const char* host) const;
  cPlayer* findPlayer(const char* name, const char* host) const;

  // Texts go out as text messages ("MSG") carrying fromID, the sender's player ID.
  bool sendMessage(const char* name, const char* host, long fromID, const char* text);
  void sendMessageAll(const cPlayer* except, long fromID, const char* text);
  // Queues a copy for every other connected player and frees frame (a new[] array).
  void sendMessageAll(const cPlayer* except, char* frame, int length);

private:
  void addPlayerRaw(cPlayer* p);
  cPlayerNode* findNodeByName(const char* name, const char* host) const;
  void deliver(cPlayerNode* n, char* data, int length);

  FILE* console;
  cPlayerNode* head = nullptr;
  cPlayerNode* tail = nullptr;
};

#endif
