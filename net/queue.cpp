#include "net/queue.h"

#include <cstring>

cQueueNode::cQueueNode(char* d) : length(d ? int(std::strlen(d)) : 0), data(d) {}

cQueueNode::cQueueNode(char* d, int len) : length(len > 0 ? len : 0), data(d) {}

// An empty text still owns its buffer, so the node frees it whatever its length.
cQueueNode::~cQueueNode() { delete[] data; }

cQueue::~cQueue()
{
  while (head) {
    cQueueNode* old = head;
    head = head->getNext();
    delete old;
  }
}

int cQueue::number() const
{
  int count = 0;
  for (const cQueueNode* n = head; n; n = n->getNext()) ++count;
  return count;
}

void cQueue::addToQueue(const char* text) { append(makeNewNode(text)); }

void cQueue::addToQueue(char* data, int length) { append(makeNewNode(data, length)); }

cQueueNode* cQueue::makeNewNode(const char* text)
{
  const size_t n = text ? std::strlen(text) : 0;
  char* copy = new char[n + 1];
  if (n) std::memcpy(copy, text, n);
  copy[n] = '\0';
  return new cQueueNode(copy);
}

cQueueNode* cQueue::makeNewNode(char* data, int length) { return new cQueueNode(data, length); }

void cQueue::append(cQueueNode* node)
{
  if (!head) {
    head = tail = node;
    return;
  }
  tail->setNext(node);
  tail = node;
}
