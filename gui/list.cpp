#include "gui/list.h"

char* cList::getNext()
{
  if (!current) return nullptr;
  char* item = current->myData();
  current = current->getNext();
  return item;
}
