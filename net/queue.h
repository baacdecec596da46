#ifndef KORVANE_NET_QUEUE_H
#define KORVANE_NET_QUEUE_H
// First-in, first-out queue of owned byte buffers. Not thread-safe: whoever shares a
// queue between threads locks around it.

class cQueueNode {
public:
  // Takes ownership of data (allocated with new[]); length = the zero-terminated text's length.
  explicit cQueueNode(char* data);
  // Takes ownership of data (allocated with new[]); length in bytes, negative counts as 0.
  cQueueNode(char* data, int length);
  ~cQueueNode();
  cQueueNode(const cQueueNode&) = delete;
  cQueueNode& operator=(const cQueueNode&) = delete;

  char* myData() const { return data; }
  int myLength() const { return length; }
  cQueueNode* getNext() const { return next; }
  void setNext(cQueueNode* n) { next = n; }

private:
  int length;
  char* data;
  cQueueNode* next = nullptr;
};

class cQueue {
public:
  cQueue() = default;
  virtual ~cQueue();
  cQueue(const cQueue&) = delete;
  cQueue& operator=(const cQueue&) = delete;

  bool isEmpty() const { return head == nullptr; }
  int number() const;
  // Appends a copy of the zero-terminated text, sent later exactly as the text (no length).
  void addToQueue(const char* text);
  // Appends data and takes ownership of it (new[]; normally a message's encode()).
  void addToQueue(char* data, int length);

  // Users take the front node themselves: read head, set head to its next, delete the node.
  cQueueNode* head = nullptr;
  cQueueNode* tail = nullptr;  // meaningful only while head is set

protected:
  cQueueNode* makeNewNode(const char* text);
  cQueueNode* makeNewNode(char* data, int length);

private:
  void append(cQueueNode* node);
};

#endif
