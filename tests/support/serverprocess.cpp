#include "support/serverprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/testdirectory.h"

cServerProcess::cServerProcess(std::string out, std::string err)
    : outFile(std::move(out)), errFile(std::move(err))
{
}

cServerProcess::~cServerProcess()
{
  if (child > 0 && waitExit(0) == -1) kill(SIGKILL);
  closeInput();
}

bool cServerProcess::spawn(const std::vector<std::string>& args, bool input)
{
  const char* build = std::getenv("KORVANE_BUILD");
  const std::string program = std::string(build ? build : ".") + "/server/korvaned";
  if (access(program.c_str(), X_OK) != 0) return false;
  int pipeFds[2] = {-1, -1};
  if (input && pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  child = fork();
  if (child == 0) {
    if (input) dup2(pipeFds[0], 0);
    const int o = open(outFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int e = open(errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(o, 1);
    dup2(e, 2);
    std::vector<char*> argv{const_cast<char*>("korvaned")};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (input) {
    close(pipeFds[0]);
    closeInput();
    inputFd = pipeFds[1];
  }
  return child > 0;
}

void cServerProcess::input(const std::string& text)
{
  if (inputFd >= 0 && write(inputFd, text.data(), text.size()) != ssize_t(text.size()))
    closeInput();
}

void cServerProcess::closeInput()
{
  if (inputFd >= 0) close(inputFd);
  inputFd = -1;
}

bool cServerProcess::startOnFreePort(const std::vector<std::string>& args, bool input)
{
  for (int attempt = 0; attempt < 5; ++attempt) {
    listening = freeLoopbackPort();
    std::vector<std::string> all = args;
    all.push_back(std::to_string(listening));
    // A program started again appends to the same file: only a new line counts.
    const size_t seen = err().size();
    if (!spawn(all, input)) return false;
    for (int waited = 0; waited < 10000; waited += 10) {
      if (err().find("Server up and running.\n", seen) != std::string::npos) return true;
      if (waitExit(0) != -1) break;  // the port was taken meanwhile: try another
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return false;
}

int cServerProcess::waitExit(int ms)
{
  for (int waited = 0;; waited += 10) {
    int status = 0;
    if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
      child = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    if (waited >= ms) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void cServerProcess::kill(int signal)
{
  if (child <= 0) return;
  ::kill(child, signal);
  waitpid(child, nullptr, 0);
  child = -1;
}

void cServerProcess::signal(int signal)
{
  if (child > 0) ::kill(child, signal);
}

std::string cServerProcess::out() const { return fileText(outFile); }
std::string cServerProcess::err() const { return fileText(errFile); }
