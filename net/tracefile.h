#ifndef KORVANE_NET_TRACEFILE_H
#define KORVANE_NET_TRACEFILE_H
// The trace files of the process, shared by all its threads: one descriptor per file kept open
// in append mode, one write per call, so a call's lines stay whole and land in order between
// threads and processes alike. A file grown past the limit becomes "<name>.1" (replacing an
// older one) and a new file starts. Before each write the writer makes sure its descriptor is
// still the file under that name, so every writer follows a renaming by another process.
#include <string>

// Appends text to the file name (relative to the current directory, created when missing).
// A trace that cannot be written is skipped. Thread-safe.
void appendTrace(const char* name, const std::string& text);

// Bytes a file may reach before it is renamed; 64 MB unless set. Thread-safe.
void setTraceLimit(long long bytes);
long long traceLimit();

#endif
