#include "net/protocol.h"

bool parsePort(const char* text, int& port)
{
  if (!text || !*text) return false;
  long value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + (*c - '0');
    if (value > 65535) return false;  // stops before a long text can overflow
  }
  if (value < 1) return false;
  port = int(value);
  return true;
}
