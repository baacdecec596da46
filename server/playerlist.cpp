#include "server/playerlist.h"

#include <cstring>

#include "net/message.h"
#include "net/player.h"
#include "net/socket.h"

// Far above what a client that keeps reading lets pile up between two passes of its thread.
const long cPlayerNode::maxPendingBytes = 4L << 20;

bool cPlayerNode::deliver(char* data, int length)
{
  if (pending + length > maxPendingBytes) {
    delete[] data;
    cutOff();
    return false;
  }
  player->addToQueue(data, length);
  pending += length;
  if (wake) wake->signal();
  return true;
}

void cPlayerNode::wakeUp() const
{
  if (wake) wake->signal();
}

// The socket is the serving thread's: shutting it down ends that thread's reads, and the
// thread closes the descriptor. Clearing it here stops further deliveries.
void cPlayerNode::cutOff()
{
  if (serveFd < 0) return;
  shutdownSocket(serveFd);
  player->setSocket(0);
  detach();
}

cPlayerList::~cPlayerList()
{
  while (head) {
    cPlayerNode* n = head;
    head = n->getNext();
    delete n;
  }
}

void cPlayerList::addPlayer(cPlayer* p) { addPlayerRaw(p); }

void cPlayerList::addPlayerRaw(cPlayer* p)
{
  cPlayerNode* n = new cPlayerNode(p);
  if (!head) {
    head = tail = n;
    return;
  }
  n->setPrev(tail);
  tail->setNext(n);
  tail = n;
}

cPlayerNode* cPlayerList::findNode(const cPlayer* p) const
{
  for (cPlayerNode* n = head; n; n = n->getNext())
    if (n->myData() == p) return n;
  return nullptr;
}

cPlayerNode* cPlayerList::findNodeByName(const char* name, const char* host) const
{
  for (cPlayerNode* n = head; n; n = n->getNext())
    if (n->myData()->equals(name, host)) return n;
  return nullptr;
}

bool cPlayerList::contains(const char* name, const char* host) const
{
  return findNodeByName(name, host) != nullptr;
}

cPlayer* cPlayerList::findPlayer(const char* name, const char* host) const
{
  cPlayerNode* n = findNodeByName(name, host);
  return n ? n->myData() : nullptr;
}

namespace {
char* copyOf(const char* data, size_t length)
{
  char* copy = new char[length + 1];
  std::memcpy(copy, data, length);
  copy[length] = '\0';
  return copy;
}
}  // namespace

void cPlayerList::deliver(cPlayerNode* n, char* data, int length)
{
  const bool served = n->myServeFd() >= 0;
  if (!n->deliver(data, length) && served)
    std::fprintf(console, "Player %li cut off: %li bytes waiting\n", n->myData()->myID(),
                 n->myPending());
}

bool cPlayerList::sendMessage(const char* name, const char* host, long fromID, const char* text)
{
  cPlayerNode* n = findNodeByName(name, host);
  if (!n) return false;
  const cTextMessage m(0, fromID, text);
  deliver(n, m.encode(), m.encodedlength());
  return true;
}

void cPlayerList::sendMessageAll(const cPlayer* except, long fromID, const char* text)
{
  const cTextMessage m(0, fromID, text);
  sendMessageAll(except, m.encode(), m.encodedlength());
}

void cPlayerList::sendMessageAll(const cPlayer* except, char* frame, int length)
{
  for (cPlayerNode* n = head; n; n = n->getNext())
    if (n->myData() != except && n->myData()->isConnected())
      deliver(n, copyOf(frame, size_t(length)), length);
  delete[] frame;
}
