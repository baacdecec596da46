// The shell script that assembles the data files with Allegro's dat tool from the
// pictures makedata wrote. Run as: bash assemble.sh RUNDIR [DAT]; it works in its own
// folder and copies the finished files into RUNDIR.
#pragma once
#include <string>
#include <vector>

class DatScript {
public:
  // dat with the options every call shares (keep order, strip grabber data but our sizes).
  void dat(const std::string& file, const std::vector<std::string>& args);
  // Adds files as objects of a type; bitmaps are grabbed at 32 bits per pixel.
  void add(const std::string& file, const std::string& type,
           const std::vector<std::string>& sources);
  // Sets properties ("NAME=value") on an object of a file.
  void set(const std::string& file, const std::string& object,
           const std::vector<std::string>& props);
  void line(const std::string& text) { lines_.push_back(text); }
  void write(const std::string& path) const;

private:
  std::vector<std::string> lines_;
};

// dat's name for an object grabbed from a file: upper case, '.' as '_'.
std::string objectName(const std::string& file);
