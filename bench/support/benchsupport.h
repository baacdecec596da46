#ifndef KORVANE_BENCH_SUPPORT_BENCHSUPPORT_H
#define KORVANE_BENCH_SUPPORT_BENCHSUPPORT_H
// What the benchmark programs share: the processor time they report and the server they run.
#include <sys/types.h>

#include <string>
#include <vector>

// User + system processor time this process has taken so far, in seconds.
double processorSeconds();

// The korvaned of the same build, found from the running benchmark's own path
// ("<build>/bench/x" runs "<build>/server/korvaned").
std::string serverProgram();

// Starts `program` with the options given and `port` in the current folder, its output
// thrown away; the child's pid.
pid_t startQuietServer(const std::string& program, int port,
                       const std::vector<std::string>& options = {});

#endif
