#include "world/host.h"

#include <cstdarg>

FILE* fp = nullptr;
bool debug_log_on = false;

namespace {
int (*screenWidthSource)() = nullptr;
std::string dataFolder;
}  // namespace

int hostScreenWidth() { return screenWidthSource ? screenWidthSource() : 0; }

void setHostScreenWidth(int (*widthSource)()) { screenWidthSource = widthSource; }

std::string hostDataFile(const char* name)
{
  return dataFolder.empty() ? std::string(name) : dataFolder + "/" + name;
}

void setHostDataFolder(const std::string& folder) { dataFolder = folder; }

void hostLog(const char* format, ...)
{
  if (!fp) return;
  va_list args;
  va_start(args, format);
  vfprintf(fp, format, args);
  va_end(args);
}
