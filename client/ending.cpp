#include "client/ending.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/logfile.h"
#include "gui/framepacer.h"
#include "net/player.h"
#include "world/host.h"

namespace {

volatile sig_atomic_t stopSignal = 0;
cClientLog* endingLog = nullptr;
cPlayer* endingPlayer = nullptr;
// The connection's descriptor as the display's error handler may read it from any thread.
std::atomic<int> endingSocket{-1};

void onStopSignal(int signal) { stopSignal = signal; }

const char* signalName(int signal)
{
  switch (signal) {
    case SIGTERM: return "SIGTERM";
    case SIGINT: return "SIGINT";
    default: return "SIGHUP";
  }
}

// The display is gone, so nothing here may touch it, nor wait for the thread that may hold
// its lock: the socket is shut, the streams flushed, the log's last lines appended whole.
int onDisplayLost(Display*)
{
  const int socket = endingSocket.exchange(-1);
  if (socket > 0) shutdown(socket, SHUT_RDWR);
  std::fflush(nullptr);
  const char lines[] = "The X display is gone.\nClosing Veldane Session...\nThe End.\n";
  const int log = open("log.txt", O_WRONLY | O_APPEND | O_CREAT, 0644);
  if (log >= 0) {
    (void)!write(log, lines, sizeof lines - 1);
    close(log);
  }
  std::fputs("The X display is gone.\n", stderr);
  _exit(1);
}

}  // namespace

void watchForEnding(cClientLog& log)
{
  endingLog = &log;
  struct sigaction a = {};
  a.sa_handler = onStopSignal;
  sigemptyset(&a.sa_mask);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &a, nullptr);
  XSetIOErrorHandler(onDisplayLost);
  cFramePacer::atEveryWait = endIfAsked;
}

void setEndingPlayer(cPlayer* p)
{
  endingPlayer = p;
  endingSocket = p ? p->socketDescriptor() : -1;
}

void endIfAsked()
{
  const int signal = stopSignal;
  if (!signal) return;
  endingLog->open("a");
  hostLog("Stopped by %s.\n", signalName(signal));
  if (endingPlayer && endingPlayer->isConnected()) endingPlayer->disconnect();
  endingSocket = -1;
  hostLog("Closing Veldane Session...\n");
  hostLog("The End.\n");
  endingLog->close();
  std::printf("Stopped by %s.\n", signalName(signal));
  std::exit(0);
}
