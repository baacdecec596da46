#ifndef KORVANE_CLIENT_PLAYERSETTINGS_H
#define KORVANE_CLIENT_PLAYERSETTINGS_H
// The player's remembered network details: name, host, server and port, kept in
// "player.cfg" in the current folder as "key=value" lines that a person can read and edit.
#include <string>

struct cPlayerSettings {
  // A field holds at most this many characters, as the dialogs' text boxes do.
  static constexpr size_t fieldSize = 39;

  std::string name = "newuser";
  std::string host = "localhost";
  std::string server = "127.0.0.1";  // dotted IPv4
  std::string port = "15201";        // decimal digits, 1-65535
};

extern const char* const playerSettingsFile;  // "player.cfg"

// Printable ASCII (32..126) only, cut to fieldSize characters: what a text box could hold.
std::string fitField(const std::string& text);

// Why the values cannot be saved (a message for the player), or null when they can: the
// name, host and server must not be empty, and the port must be 1-65535 in digits.
const char* checkPlayerSettings(const cPlayerSettings& s);

// The settings a file's text gives. A line that is not "key=value" with a known key, or whose
// value is empty, too long, holds other than printable characters or (for the port) is not
// 1-65535 in digits, leaves that value at its default; a later good line for a key wins.
cPlayerSettings parsePlayerSettings(const std::string& text);
std::string formatPlayerSettings(const cPlayerSettings& s);

// The settings in path; defaults for a file that is missing, unreadable or damaged. Reads at
// most 64 KiB.
cPlayerSettings loadPlayerSettings(const char* path = playerSettingsFile);
// Replaces path whole through a temporary file beside it (written, flushed to the disk,
// renamed over it); false, with path untouched, when any step fails.
bool savePlayerSettings(const cPlayerSettings& s, const char* path = playerSettingsFile);

#endif
