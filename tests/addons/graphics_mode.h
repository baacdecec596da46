#ifndef KORVANE_TESTS_GRAPHICS_MODE_H
#define KORVANE_TESTS_GRAPHICS_MODE_H
// Helpers for tests that draw: they run under a private Xvfb, so real windowed modes work.
#include <allegro.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Opens a windowed mode of this colour depth and size (Allegro initialised on first use).
inline bool setGraphicsMode(int depth, int width = 640, int height = 480)
{
  static const bool initialised = allegro_init() == 0;
  if (!initialised) return false;
  set_color_depth(depth);
  return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

// A fresh directory under the system's temporary folder, removed with the object.
class TempDir {
public:
  TempDir()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir()
  {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return path + "/" + name; }

  std::string path;
};

#endif
