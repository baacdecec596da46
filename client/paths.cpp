#include "client/paths.h"

#include <allegro.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "world/host.h"

namespace {

bool installedClient = false;

std::string parentOf(const std::string& folder)
{
  const size_t slash = folder.find_last_of('/');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

// The folder of the running program with every link resolved ("" for the root folder);
// false when the system cannot say.
bool executableFolder(std::string& folder)
{
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return false;
  buffer[n] = '\0';
  folder = parentOf(buffer);
  return true;
}

bool isFolder(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// HOME, or the account's home folder when HOME is unset (a service or a bare environment).
const char* homeFolder()
{
  const char* home = getenv("HOME");
  if (home && *home) return home;
  const passwd* account = getpwuid(getuid());
  return account ? account->pw_dir : nullptr;
}

bool enterPlayerFolder(const std::string& folder)
{
  if (folder.empty()) {
    fprintf(stderr,
            "korvane: no home folder is known (set HOME or XDG_DATA_HOME) for the "
            "player's files\n");
    return false;
  }
  std::string reason = makeFolders(folder);
  if (reason.empty() && chdir(folder.c_str()) != 0) reason = strerror(errno);
  if (reason.empty() && access(".", W_OK | X_OK) != 0) reason = strerror(errno);
  if (reason.empty()) return true;
  fprintf(stderr, "korvane: cannot use the folder %s for the player's files: %s\n", folder.c_str(),
          reason.c_str());
  return false;
}

}  // namespace

cClientFolders planClientFolders(const std::string& exeFolder, bool dataBeside,
                                 const char* xdgDataHome, const char* home)
{
  cClientFolders folders;
  if (dataBeside) return folders;
  folders.installed = true;
  folders.dataFolder = parentOf(exeFolder) + "/share/games/korvane";
  if (xdgDataHome && xdgDataHome[0] == '/')
    folders.playerFolder = std::string(xdgDataHome) + "/korvane";
  else if (home && *home)
    folders.playerFolder = std::string(home) + "/.local/share/korvane";
  return folders;
}

std::string makeFolders(const std::string& path)
{
  if (path.empty()) return "no folder named";
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string prefix = path.substr(0, end);
    // An existing folder may refuse mkdir with another reason than EEXIST (read-only system).
    if (prefix.back() != '/' && mkdir(prefix.c_str(), 0700) != 0) {
      const int reason = errno == EEXIST ? ENOTDIR : errno;
      if (!isFolder(prefix)) return strerror(reason);
    }
    if (end == std::string::npos) break;
  }
  return isFolder(path) ? "" : strerror(ENOTDIR);
}

bool settleClientFolders()
{
  std::string exeFolder;
  // A system that cannot name the program's folder keeps the run-folder behaviour.
  if (!executableFolder(exeFolder)) return true;
  const bool dataBeside = access((exeFolder + "/tarvix.dat").c_str(), F_OK) == 0;
  const cClientFolders folders =
      planClientFolders(exeFolder, dataBeside, getenv("XDG_DATA_HOME"), homeFolder());
  if (!folders.installed) return true;
  installedClient = true;
  setHostDataFolder(folders.dataFolder);
  return enterPlayerFolder(folders.playerFolder);
}

std::string datafilePath(const char* argv0, const char* name)
{
  if (installedClient) return hostDataFile(name);
  char path[256];
  replace_filename(path, argv0, name, sizeof path);
  return path;
}
