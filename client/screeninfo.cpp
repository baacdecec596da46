#include "client/screeninfo.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "world/host.h"

const char* const screenInfoFile = "screeninfo.inf";

namespace {

const size_t longestLine = 64;  // characters kept of a line; a setting needs far fewer

// One whole line, however long: a line cut by the buffer must not give its tail to the next
// setting. False at the end of the file.
bool readLine(FILE* file, std::string& line)
{
  line.clear();
  bool any = false;
  char part[32];
  while (std::fgets(part, sizeof part, file)) {
    any = true;
    const std::string piece(part);
    if (line.size() < longestLine) line += piece;
    if (!piece.empty() && piece.back() == '\n') return true;
  }
  return any;
}

int settingValue(const std::string& line)
{
  errno = 0;
  const long value = std::strtol(line.c_str(), nullptr, 10);
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return 0;
  return static_cast<int>(value);
}

bool writeAll(FILE* file, const cScreenMode& mode)
{
  bool ok = std::fprintf(file, "%i\n%i\n%i\n%i\n", mode.myColourDepth, mode.myWidth, mode.myHeight,
                         mode.myGraphicsDriver) > 0;
  ok = std::fflush(file) == 0 && ok;
  return fsync(fileno(file)) == 0 && ok;
}

}  // namespace

int readScreenInfo(cScreenMode& mode, const char* path)
{
  FILE* file = std::fopen(path, "r");
  if (!file) return -1;
  int* const fields[] = {&mode.myColourDepth, &mode.myWidth, &mode.myHeight,
                         &mode.myGraphicsDriver};
  int read = 0;
  std::string line;
  for (int* field : fields) {
    const bool got = readLine(file, line);
    *field = got ? settingValue(line) : 0;
    read += got ? 1 : 0;
  }
  std::fclose(file);
  return read;
}

bool saveScreenInfo(const cScreenMode& mode, const char* path)
{
  const std::string temporary = std::string(path) + ".new";
  FILE* file = std::fopen(temporary.c_str(), "w");
  bool ok = file != nullptr;
  if (file) {
    ok = writeAll(file, mode);
    ok = std::fclose(file) == 0 && ok;
  }
  if (ok && std::rename(temporary.c_str(), path) == 0) return true;
  if (file) std::remove(temporary.c_str());
  hostLog("Could not save screeninfo.inf.\n");
  hostFlushLog();
  return false;
}
