#ifndef KORVANE_CLIENT_PATHS_H
#define KORVANE_CLIENT_PATHS_H
// Where the client reads its data files and writes the player's files. In a run folder
// (tarvix.dat beside the executable) both are the current folder. Installed (the program in
// <prefix>/games), the data lies in <prefix>/share/games/korvane and the player's files (log,
// settings, screenshots, map dumps, saves) go to $XDG_DATA_HOME/korvane or
// ~/.local/share/korvane, which becomes the current folder.
#include <string>

struct cClientFolders {
  bool installed = false;
  std::string dataFolder;    // installed only: absolute, no trailing slash
  std::string playerFolder;  // installed only: absolute; empty when no home folder is known
};

// The folders of a client whose executable lies in exeFolder (absolute, no trailing slash, ""
// for the root folder).
// dataBeside: tarvix.dat lies there. xdgDataHome and home may be null or empty; a relative
// XDG_DATA_HOME is ignored, as the XDG base directory rules ask.
cClientFolders planClientFolders(const std::string& exeFolder, bool dataBeside,
                                 const char* xdgDataHome, const char* home);

// Creates the folder and its missing parents (new ones with mode 0700). Returns "" when the
// folder exists afterwards, else why it does not.
std::string makeFolders(const std::string& path);

// Settles the folders once, first thing at start-up: sets the data folder (world/host.h) and,
// installed, makes the player's folder the current one. False, after saying why on standard
// error, when that folder cannot be created or written.
bool settleClientFolders();

// Path of tarvix.dat or gamedata.dat: beside argv0 in a run folder, else in the data folder.
std::string datafilePath(const char* argv0, const char* name);

#endif
