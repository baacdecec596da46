#include "support/benchsupport.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

double processorSeconds()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string serverProgram()
{
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  self[n > 0 ? n : 0] = '\0';
  const std::string program = self;
  return program.substr(0, program.rfind('/') + 1) + "../server/korvaned";
}

pid_t startQuietServer(const std::string& program, int port,
                       const std::vector<std::string>& options)
{
  std::vector<std::string> words{program};
  words.insert(words.end(), options.begin(), options.end());
  words.push_back(std::to_string(port));
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not write what this process still buffers
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
      _exit(127);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}
