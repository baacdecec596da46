#include "net/osutil.h"

#include <unistd.h>

void os_sleep() { usleep(10); }

bool window_in_focus() { return false; }
