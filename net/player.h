#ifndef KORVANE_NET_PLAYER_H
#define KORVANE_NET_PLAYER_H
// One player of a game together with its connection: the player is its own outgoing queue.
// The client keeps one for the local person; the server one per registered player.
#include <atomic>
#include <functional>

#include "net/network.h"
#include "world/maplayer.h"

class cMap;
class cMessage;

class cPlayer : public cNetworkQueue {
public:
  cPlayer();                     // no socket, id 0: a local game's player
  explicit cPlayer(long id);     // opens a socket of its own; -1 means id 0
  cPlayer(long id, int socket);  // adopts an accepted descriptor; connected

  // Copies both texts, cut to 127 and 159 characters.
  void setPlayerInfo(const char* name, const char* host);
  const char* getName() const { return name; }
  const char* getHost() const { return host; }
  bool equals(const char* name, const char* host) const;

  // Takes over a new descriptor (the old one is not closed) and counts as connected.
  void connectTo(int socket);
  // Connects to a dotted IPv4 address, announces the version and registers; false (with the
  // socket closed) when the server cannot be reached or does not answer. From then on sends
  // never wait (cNetworkQueue::setSendWithoutWaiting).
  bool connectTo(const char* server, short port);
  void disconnect();  // sends the close message, then shuts the connection down
  bool isConnected();

  int sendMaps(cMap* map);  // the terrain, every building and unit, then the end mark; 0
  // 10: the server sends its map; 0: the client is to send its own; -1: connection gone.
  int queryMaps();

  // Sends text to every other player through the server: the command "MSA" and the text
  // (cut to maxChatText characters) in one frame, without a terminating zero.
  void sendChat(const char* text);
  static constexpr int maxChatText = 100;

  long getGameTurn() const { return gameTurn; }
  long myID() const { return id; }

  // Waits for the next frame for as long as frames keep coming: gives up after budgetMs in
  // which none arrived, at once when the connection closes. > 0 a body was stored, 0 the
  // connection closed, -1 the time ran out, -2 the wait was cancelled; polls counts the
  // reads made.
  int receiveWithin(char* buffer, int size, int budgetMs, int& polls);
  // Asked at least every cancelSliceMs while receiveWithin waits (the map query and download
  // included): true cancels the wait. Empty for none.
  void setCancelCheck(std::function<bool()> check) { cancelCheck = std::move(check); }
  static constexpr int cancelSliceMs = 50;
  // Time a reply of the server, or the next frame of a map exchange, may take (ms).
  static std::atomic<int> replyBudgetMs;

private:
  void sendNow(const cMessage& m);
  bool announceVersion();
  bool registerPlayer();

  long id = 0;
  char name[128] = {};
  char host[160] = {};
  cMapLayer layer;
  long gameTurn = 0;
  bool connected = false;
  char serverVersion[20] = {};
  std::function<bool()> cancelCheck;
};

#endif
