#ifndef KORVANE_CLIENT_ENDING_H
#define KORVANE_CLIENT_ENDING_H
// How the client ends when asked from outside: SIGTERM, SIGINT and SIGHUP, or the loss of its
// X display. Either way the server connection is closed and the log is finished
// ("Closing Veldane Session...", "The End.") before the process exits.
class cClientLog;
class cPlayer;

// Installs the signal handlers and the X I/O error handler; call once the graphics mode is
// set (the graphics library installs handlers of its own before that). The log is borrowed
// for the rest of the run.
void watchForEnding(cClientLog& log);
// The player whose connection an ending closes, or null; main thread.
void setEndingPlayer(cPlayer* p);
// On the main thread, between frames: when a stop signal came, ends the process (exit
// status 0) and never returns.
void endIfAsked();

#endif
