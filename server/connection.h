#ifndef KORVANE_SERVER_CONNECTION_H
#define KORVANE_SERVER_CONNECTION_H
// One accepted connection as its serving thread sees it; used by that thread only.
// Reads and writes go through `link`, a queue on a duplicate of the accepted descriptor, so
// the shared registered player never touches a socket: other threads only append to its
// queue, and a takeover by a new connection shuts this one down instead of stealing its
// stream. The accepted descriptor itself stays open until the thread closes it.
#include <string>

#include "net/player.h"
#include "net/socket.h"

class cMap;
class cServerEngine;

class cConnection {
  cServerEngine& server;
  int fd;        // the accepted descriptor; the thread closes it
  int linkFd;    // the duplicate that link owns
  cWakeup wake;  // deliveries to the player signal it

public:
  cConnection(cServerEngine& server, int acceptedFd);
  ~cConnection();  // lets go of the player if it is still served here
  cConnection(const cConnection&) = delete;
  cConnection& operator=(const cConnection&) = delete;

  // False when the process had no descriptor left for the connection's own: it cannot be
  // served.
  bool usable() const { return linkFd > 0 && wake.descriptor() >= 0; }
  // Makes p served here and shuts down the connection that served it before. The caller
  // holds the server's mut_playerList.
  void claim(cPlayer* p);
  // Sends what is queued for the player; false once another connection serves it.
  bool flush();
  // Shuts the socket down and lets go of the player.
  void close();
  // Blocks until a frame arrives, something is queued for the player, or ms have passed.
  void waitForWork(int ms);
  // Queues the whole map download; it is sent by the next flush. The caller holds the map
  // lock; nothing is sent while it is held.
  void queueMap(cMap* map);

  cPlayer link;
  std::string peer;           // the peer's address as text, "unknown" when there is none
  bool fromOperator = false;  // the peer's address is an operator address

private:
  void release(bool closing);

  cPlayer* player = nullptr;
};

#endif
