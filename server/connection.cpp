#include "server/connection.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>

#include "net/message.h"
#include "server/playerlist.h"
#include "server/serverengine.h"

namespace {

class cListLock {
public:
  cListLock() { pthread_mutex_lock(&cServerEngine::mut_playerList); }
  ~cListLock() { pthread_mutex_unlock(&cServerEngine::mut_playerList); }
  cListLock(const cListLock&) = delete;
  cListLock& operator=(const cListLock&) = delete;
};

void moveNodes(cQueue& from, cQueue& to) {
  if (!from.head) return;
  if (to.head)
    to.tail->setNext(from.head);
  else
    to.head = from.head;
  to.tail = from.tail;
  from.head = from.tail = nullptr;
}

}  // namespace

cConnection::cConnection(int acceptedFd)
    : fd(acceptedFd),
      linkFd(::dup(acceptedFd)),
      wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      link(0, linkFd > 0 ? linkFd : 0) {
  // Frames are small and sent one per call: waiting to coalesce them would hold a relayed
  // frame back until the peer's delayed acknowledgement (tens of milliseconds).
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

cConnection::~cConnection() {
  release(false);
  if (wakeFd >= 0) ::close(wakeFd);
}

void cConnection::setReadTimeout(int seconds) {
  const timeval t = {seconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
}

void cConnection::claim(cPlayer* p) {
  cPlayerNode* node = cServerEngine::players->findNode(p);
  if (!node) return;
  const int old = node->myServeFd();
  if (old >= 0 && old != fd) ::shutdown(old, SHUT_RDWR);
  node->attach(fd, wakeFd);
  p->connectTo(fd);
  player = p;
  // From here on a receiver that stops reading makes our sends give up after the stall
  // limit instead of blocking this thread for good.
  if (linkFd > 0) ::fcntl(linkFd, F_SETFL, ::fcntl(linkFd, F_GETFL) | O_NONBLOCK);
}

bool cConnection::flush() {
  {
    cListLock lock;
    cPlayerNode* node = player ? cServerEngine::players->findNode(player) : nullptr;
    if (!node || node->myServeFd() != fd) return false;
    moveNodes(*player, link);
    node->clearPending();
  }
  link.processQueue();
  return true;
}

// Only while the player is still ours: a takeover has already moved it elsewhere.
void cConnection::release(bool closing) {
  if (!player) return;
  cListLock lock;
  cPlayerNode* node = cServerEngine::players->findNode(player);
  if (node && node->myServeFd() == fd) {
    node->detach();
    player->setSocket(0);
    // Without a socket the close message stays queued; the player counts as disconnected.
    if (closing) player->disconnect();
  }
}

void cConnection::close() {
  link.disconnectQueue();
  release(true);
  player = nullptr;
}

int cConnection::waitingBodyLength(int max) const {
  unsigned char length[2];
  // Once the link has dropped its descriptor the number may already belong to another
  // connection: never peek at it then.
  if (!link.socketStatus() || ::recv(linkFd, length, 2, MSG_PEEK | MSG_DONTWAIT) != 2) return max;
  const int n = length[0] * 256 + length[1] - 2;
  return n < 0 ? 0 : (n < max ? n : max);
}

void cConnection::waitForWork(int ms) {
  pollfd p[2] = {{link.socketStatus() ? linkFd : -1, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  if (::poll(p, 2, ms) <= 0 || !(p[1].revents & POLLIN)) return;
  uint64_t count;
  if (::read(wakeFd, &count, sizeof count) < 0) {
    // Another wake-up raced us to it: nothing to reset.
  }
}

void cConnection::queueMap(cMap* map) {
  const bool attached = link.socketStatus();
  link.addToQueue(cMapMessage(0, "SND").encode(), 12);
  link.setSocket(0);  // sendMaps then only queues: frames wait while a socket is 0
  link.sendMaps(map);
  if (attached) link.setSocket(linkFd);
}
