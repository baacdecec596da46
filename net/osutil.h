#ifndef KORVANE_NET_OSUTIL_H
#define KORVANE_NET_OSUTIL_H
// Operating-system helpers that both programs carry.

// Sleeps 10 microseconds: yields the processor once per pass of a polling loop; it does not
// pace the loop.
void os_sleep();

// Whether the program's window has the input focus; this system cannot tell, so always false.
bool window_in_focus();

#endif
