#include "world/host.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>

namespace {
cHost* installed = nullptr;
std::string dataFolder;
}  // namespace

cHost* setHost(cHost* host) { return std::exchange(installed, host); }

int hostScreenWidth() { return installed ? installed->screenWidth() : 0; }

bool hostDebugLog() { return installed && installed->debugLog(); }

void hostFlushLog()
{
  if (installed) installed->flushLog();
}

void hostReopenLog()
{
  if (installed) installed->reopenLog();
}

std::string hostDataFile(const char* name)
{
  return dataFolder.empty() ? std::string(name) : dataFolder + "/" + name;
}

void setHostDataFolder(const std::string& folder) { dataFolder = folder; }

void hostLog(const char* format, ...)
{
  if (!installed) return;
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length > 0) {
    std::string text(static_cast<size_t>(length), '\0');
    vsnprintf(text.data(), text.size() + 1, format, args);
    installed->log(text.c_str());
  }
  va_end(args);
}
