#include "datscript.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {
std::string quote(const std::string& s)
{
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}
}  // namespace

std::string objectName(const std::string& file)
{
  std::string name;
  for (char c : file)
    name += c == '.' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

void DatScript::dat(const std::string& file, const std::vector<std::string>& args)
{
  std::string text = "\"$dat\" -n0 -s1 -s-XSIZ -s-YSIZ " + quote(file);
  for (const std::string& a : args) text += " " + quote(a);
  lines_.push_back(text + " >/dev/null");
}

void DatScript::add(const std::string& file, const std::string& type,
                    const std::vector<std::string>& sources)
{
  std::vector<std::string> args = {"-t", type};
  if (type == "BMP") args.insert(args.begin(), {"-bpp", "32"});
  args.push_back("-a");
  args.insert(args.end(), sources.begin(), sources.end());
  dat(file, args);
}

void DatScript::set(const std::string& file, const std::string& object,
                    const std::vector<std::string>& props)
{
  std::vector<std::string> args = {object};
  args.insert(args.end(), props.begin(), props.end());
  dat(file, args);
}

void DatScript::write(const std::string& path) const
{
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    std::fprintf(stderr, "makedata: cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fprintf(
      f, "#!/bin/bash\n# Written by makedata: assembles the data files from the pictures here.\n");
  std::fprintf(f, "set -euo pipefail\nrun=\"$1\"\ndat=\"${2:-dat}\"\ncd \"$(dirname \"$0\")\"\n");
  std::fprintf(f, "rm -f ./*.dat\n");
  for (const std::string& l : lines_) std::fprintf(f, "%s\n", l.c_str());
  std::fclose(f);
}
