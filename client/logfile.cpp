#include "client/logfile.h"

#include <cstdarg>
#include <cstdio>

#include "world/host.h"

void open_log(const char* mode)
{
  close_log();
  fp = fopen("log.txt", mode);
}

void close_log()
{
  if (fp) fclose(fp);
  fp = nullptr;
}

void log_and_print(const char* format, ...)
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
