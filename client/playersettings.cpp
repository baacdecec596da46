#include "client/playersettings.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "net/protocol.h"

const char* const playerSettingsFile = "player.cfg";

namespace {
const size_t maxFileBytes = 64 * 1024;

bool printable(char c) { return c >= 32 && c <= 126; }

bool goodValue(const std::string& value)
{
  if (value.empty() || value.size() > cPlayerSettings::fieldSize) return false;
  for (char c : value)
    if (!printable(c)) return false;
  return true;
}

bool goodPort(const std::string& port)
{
  int value = 0;
  return goodValue(port) && parsePort(port.c_str(), value);
}

std::string* fieldOf(cPlayerSettings& s, const std::string& key)
{
  if (key == "name") return &s.name;
  if (key == "host") return &s.host;
  if (key == "server") return &s.server;
  if (key == "port") return &s.port;
  return nullptr;
}

void takeLine(cPlayerSettings& s, std::string line)
{
  // Files edited on other systems end their lines with "\r\n".
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  std::string* field = fieldOf(s, line.substr(0, equals));
  const std::string value = line.substr(equals + 1);
  if (!field || !goodValue(value)) return;
  if (field == &s.port && !goodPort(value)) return;
  *field = value;
}
}  // namespace

std::string fitField(const std::string& text)
{
  std::string fitted;
  for (char c : text) {
    if (fitted.size() == cPlayerSettings::fieldSize) break;
    if (printable(c)) fitted += c;
  }
  return fitted;
}

const char* checkPlayerSettings(const cPlayerSettings& s)
{
  if (s.name.empty()) return "The player name must not be empty.";
  if (s.host.empty()) return "The host name must not be empty.";
  if (s.server.empty()) return "The server name must not be empty.";
  if (!goodPort(s.port)) return "The server port must be a number from 1 to 65535.";
  return nullptr;
}

cPlayerSettings parsePlayerSettings(const std::string& text)
{
  cPlayerSettings s;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    takeLine(s, text.substr(start, end - start));
    start = end + 1;
  }
  return s;
}

std::string formatPlayerSettings(const cPlayerSettings& s)
{
  return "name=" + s.name + "\nhost=" + s.host + "\nserver=" + s.server + "\nport=" + s.port + "\n";
}

cPlayerSettings loadPlayerSettings(const char* path)
{
  FILE* file = std::fopen(path, "rb");
  if (!file) return cPlayerSettings();
  std::string text(maxFileBytes, '\0');
  const size_t got = std::fread(&text[0], 1, maxFileBytes, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return cPlayerSettings();
  text.resize(got);
  // A line cut by the limit could read as a shorter good value: drop it.
  if (got == maxFileBytes) text.resize(text.rfind('\n') + 1);
  return parsePlayerSettings(text);
}

bool savePlayerSettings(const cPlayerSettings& s, const char* path)
{
  const std::string temporary = std::string(path) + ".new";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const std::string text = formatPlayerSettings(s);
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fflush(file) == 0 && ok;
  ok = fsync(fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}
