#include "client/logfile.h"

#include <allegro.h>

#include <cstdarg>

cClientLog::~cClientLog() { close(); }

void cClientLog::open(const char* mode)
{
  close();
  fp = fopen("log.txt", mode);
}

void cClientLog::close()
{
  if (fp) fclose(fp);
  fp = nullptr;
}

void cClientLog::print(const char* format, ...)
{
  va_list args;
  va_start(args, format);
  if (fp) {
    va_list copy;
    va_copy(copy, args);
    vfprintf(fp, format, copy);
    va_end(copy);
  }
  vprintf(format, args);
  va_end(args);
}

int cClientLog::screenWidth() const { return SCREEN_W; }

void cClientLog::log(const char* text)
{
  if (fp) fputs(text, fp);
}

void cClientLog::flushLog()
{
  if (fp) fflush(fp);
}

void cClientLog::reopenLog()
{
  if (!fp) return;
  fclose(fp);
  fp = fopen("log.txt", "a");
}
