#include "client/logfile.h"

#include <cstdarg>
#include <cstdio>

#include "world/host.h"

std::string logFolder() { return "."; }

std::string besideLog(const char* name)
{
  const std::string folder = logFolder();
  return folder == "." ? std::string(name) : folder + "/" + name;
}

void open_log(const char* mode)
{
  close_log();
  fp = fopen(besideLog("log.txt").c_str(), mode);
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
