#include "server/connection.h"

#include <mutex>

#include "net/message.h"
#include "server/playerlist.h"
#include "server/serverengine.h"

namespace {

void moveNodes(cQueue& from, cQueue& to)
{
  if (!from.head) return;
  if (to.head)
    to.tail->setNext(from.head);
  else
    to.head = from.head;
  to.tail = from.tail;
  from.head = from.tail = nullptr;
}

}  // namespace

cConnection::cConnection(cServerEngine& s, int acceptedFd)
    : server(s),
      fd(acceptedFd),
      linkFd(duplicateSocket(acceptedFd)),
      link(0, linkFd > 0 ? linkFd : 0)
{
  // Frames are small and sent one per call: waiting to coalesce them would hold a relayed
  // frame back until the peer's delayed acknowledgement (tens of milliseconds).
  setNoDelay(fd);
}

cConnection::~cConnection() { release(false); }

void cConnection::claim(cPlayer* p)
{
  cPlayerNode* node = server.players.findNode(p);
  if (!node) return;
  const int old = node->myServeFd();
  if (old >= 0 && old != fd) shutdownSocket(old);
  node->attach(fd, &wake);
  p->connectTo(fd);
  player = p;
  // From here on a receiver that stops reading makes our sends give up after the stall
  // limit instead of blocking this thread for good.
  if (linkFd > 0) setNonBlocking(linkFd);
}

bool cConnection::flush()
{
  {
    std::lock_guard<std::mutex> lock(server.mut_playerList);
    cPlayerNode* node = player ? server.players.findNode(player) : nullptr;
    if (!node || node->myServeFd() != fd) return false;
    moveNodes(*player, link);
    node->clearPending();
  }
  link.processQueue();
  return true;
}

// Only while the player is still ours: a takeover has already moved it elsewhere.
void cConnection::release(bool closing)
{
  if (!player) return;
  std::lock_guard<std::mutex> lock(server.mut_playerList);
  cPlayerNode* node = server.players.findNode(player);
  if (node && node->myServeFd() == fd) {
    node->detach();
    player->setSocket(0);
    // Without a socket the close message stays queued; the player counts as disconnected.
    if (closing) player->disconnect();
  }
}

void cConnection::close()
{
  link.disconnectQueue();
  release(true);
  player = nullptr;
}

void cConnection::waitForWork(int ms)
{
  waitReadableOrWoken(link.socketStatus() ? linkFd : -1, wake, ms);
}

void cConnection::queueMap(cMap* map)
{
  const bool attached = link.socketStatus();
  link.addToQueue(cMapMessage(0, "SND").encode(), 12);
  link.setSocket(0);  // sendMaps then only queues: frames wait while a socket is 0
  link.sendMaps(map);
  if (attached) link.setSocket(linkFd);
}
