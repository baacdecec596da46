#include "gui/guilog.h"

#include <cstdio>

#include "world/host.h"

void reopenLog()
{
  if (!fp) return;
  fclose(fp);
  fp = fopen("log.txt", "a");
}
