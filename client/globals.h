#ifndef KORVANE_CLIENT_GLOBALS_H
#define KORVANE_CLIENT_GLOBALS_H
// The client's fixed texts and tables. Its process-wide state, the log among it, lives in
// cClientContext (client/context.h).

extern const char* const korvaneName;
extern const char* const isoVersion;
extern const char* const compileDate;
extern const int color_depths[];  // fallback depths at 640 x 480, ended by 0

#endif
