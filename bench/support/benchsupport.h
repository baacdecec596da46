#ifndef KORVANE_BENCH_SUPPORT_BENCHSUPPORT_H
#define KORVANE_BENCH_SUPPORT_BENCHSUPPORT_H
// What the benchmark programs share: the processor time they report and the server they run.
#include <sys/types.h>

#include <string>

// User + system processor time this process has taken so far, in seconds.
double processorSeconds();

// The korvaned of the same build, found from the running benchmark's own path
// ("<build>/bench/x" runs "<build>/server/korvaned").
std::string serverProgram();

// Starts `program` on `port` in the current folder, its output thrown away; the child's pid.
pid_t startQuietServer(const std::string& program, int port);

#endif
