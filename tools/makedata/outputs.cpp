#include "outputs.h"

#include <allegro.h>
#include <jpeglib.h>
#include <loadpng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern std::string gOutDir;

namespace {
[[noreturn]] void fail(const std::string& name)
{
  std::fprintf(stderr, "makedata: cannot write %s\n", outputPath(name).c_str());
  std::exit(1);
}

unsigned char channel(double v)
{
  return static_cast<unsigned char>(std::clamp(v * 255.0 + 0.5, 0.0, 255.0));
}
}  // namespace

std::string outputPath(const std::string& name) { return gOutDir + "/" + name; }

void saveBitmap(const std::string& name, BITMAP* b)
{
  std::string file = outputPath(name);
  bool png = name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0;
  int result = png ? save_png(file.c_str(), b, nullptr) : save_bitmap(file.c_str(), b, nullptr);
  destroy_bitmap(b);
  if (result != 0) fail(name);
}

void saveJpeg(const std::string& name, const Picture& pic, int quality)
{
  FILE* out = std::fopen(outputPath(name).c_str(), "wb");
  if (!out) fail(name);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = pic.width();
  info.image_height = pic.height();
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(pic.width() * 3);
  while (info.next_scanline < info.image_height) {
    int y = info.next_scanline;
    for (int x = 0; x < pic.width(); ++x) {
      Rgb c = pic.colour(x, y);
      row[x * 3] = channel(c.r), row[x * 3 + 1] = channel(c.g), row[x * 3 + 2] = channel(c.b);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  if (std::fclose(out) != 0) fail(name);
}

// Grid layout read by Allegro's font import: colour 255 frames every cell, the cell's
// background is 0 and its ink 1, so the grabbed font is monochrome and takes any colour.
void saveFontGrid(const std::string& name, Typeface& face, int pixels)
{
  const int maxWidth = 400;
  std::vector<MonoGlyph> glyphs;
  for (int ch = 32; ch < 127; ++ch) glyphs.push_back(face.monoGlyph(static_cast<char>(ch), pixels));
  int cellH = glyphs[0].height, rows = 1, x = 1;
  for (const MonoGlyph& g : glyphs) {
    if (x + g.width + 1 > maxWidth) ++rows, x = 1;
    x += g.width + 1;
  }
  BITMAP* grid = create_bitmap_ex(8, maxWidth, rows * (cellH + 1) + 1);
  clear_to_color(grid, 255);
  x = 0;
  int y = 0;
  for (const MonoGlyph& g : glyphs) {
    if (x + g.width + 2 > maxWidth) x = 0, y += cellH + 1;
    for (int py = 0; py < g.height; ++py)
      for (int px = 0; px < g.width; ++px)
        putpixel(grid, x + 1 + px, y + 1 + py, g.ink[py * g.width + px]);
    x += g.width + 1;
  }
  PALETTE pal;
  for (int i = 0; i < 256; ++i) pal[i].r = pal[i].g = pal[i].b = i == 0 ? 0 : 63;
  if (save_bitmap(outputPath(name).c_str(), grid, pal) != 0) fail(name);
  destroy_bitmap(grid);
}
