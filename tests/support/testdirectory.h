#ifndef KORVANE_TESTS_SUPPORT_TESTDIRECTORY_H
#define KORVANE_TESTS_SUPPORT_TESTDIRECTORY_H
// What tests of several folders share: a private working folder (the programs write their
// log and trace files into the current directory) and a free loopback port.
#include <string>

// Makes a fresh folder under /tmp and changes into it; on destruction changes back and
// removes the folder with everything in it.
class cTestDirectory {
public:
  explicit cTestDirectory(const char* prefix = "korvane");
  ~cTestDirectory();
  cTestDirectory(const cTestDirectory&) = delete;
  cTestDirectory& operator=(const cTestDirectory&) = delete;

  bool ok() const { return !path.empty(); }  // false when the folder could not be made
  const std::string& myPath() const { return path; }

private:
  std::string path;
  std::string previous;
};

// A loopback TCP port that nothing listened on a moment ago.
int freeLoopbackPort();

// A whole file's bytes; empty when it is missing.
std::string fileText(const std::string& name);
// Replaces the file with these bytes.
void writeFile(const std::string& name, const std::string& bytes);

#endif
