#ifndef KORVANE_GUI_GUILOG_H
#define KORVANE_GUI_GUILOG_H
// The toolkit's log checkpoints: the open log is closed and reopened so that everything
// written so far is on disk even if the program dies.

// Closes the log stream `fp` and reopens "log.txt" for appending; does nothing while it is
// closed.
void reopenLog();

#endif
