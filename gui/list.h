#ifndef KORVANE_GUI_LIST_H
#define KORVANE_GUI_LIST_H
// A list of strings (each copied and owned) with one iteration cursor.
#include "net/queue.h"

class cList : public cQueue {
public:
  cList() = default;
  explicit cList(const char* first) { addItem(first); }

  void addItem(const char* text) { addToQueue(text ? text : ""); }  // null reads as ""
  void setToFirst() { current = head; }
  // The current item, then advances; null after the last.
  char* getNext();

private:
  cQueueNode* current = nullptr;
};

#endif
