#include "typeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>

Typeface::Typeface(const std::string& file)
{
  if (FT_Init_FreeType(&library_) || FT_New_Face(library_, file.c_str(), 0, &face_)) {
    std::fprintf(stderr, "makedata: cannot load font %s\n", file.c_str());
    std::exit(1);
  }
}

Typeface::~Typeface()
{
  FT_Done_Face(face_);
  FT_Done_FreeType(library_);
}

int Typeface::ascender(int pixels)
{
  FT_Set_Pixel_Sizes(face_, 0, pixels);
  return static_cast<int>(face_->size->metrics.ascender >> 6);
}

int Typeface::textWidth(const std::string& text, int pixels)
{
  FT_Set_Pixel_Sizes(face_, 0, pixels);
  long width = 0;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) == 0) width += face_->glyph->advance.x;
  }
  return static_cast<int>(width >> 6);
}

void Typeface::coverage(std::vector<double>& mask, int w, int h, const std::string& text,
                        int pixels, int x, int y)
{
  FT_Set_Pixel_Sizes(face_, 0, pixels);
  long penX = x * 64;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face_, ch, FT_LOAD_RENDER) != 0) continue;
    FT_GlyphSlot g = face_->glyph;
    int left = static_cast<int>(penX >> 6) + g->bitmap_left, top = y - g->bitmap_top;
    for (unsigned r = 0; r < g->bitmap.rows; ++r)
      for (unsigned c = 0; c < g->bitmap.width; ++c) {
        int px = left + c, py = top + r;
        if (px < 0 || py < 0 || px >= w || py >= h) continue;
        double& m = mask[py * w + px];
        m = std::min(1.0, m + g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0);
      }
    penX += g->advance.x;
  }
}

void Typeface::draw(Picture& pic, const std::string& text, int pixels, int x, int y, Rgb c)
{
  std::vector<double> mask(pic.width() * pic.height(), 0.0);
  coverage(mask, pic.width(), pic.height(), text, pixels, x, y);
  for (int py = 0; py < pic.height(); ++py)
    for (int px = 0; px < pic.width(); ++px) pic.blend(px, py, c, mask[py * pic.width() + px]);
}

MonoGlyph Typeface::monoGlyph(char ch, int pixels)
{
  FT_Set_Pixel_Sizes(face_, 0, pixels);
  const FT_Size_Metrics& m = face_->size->metrics;
  int asc = static_cast<int>(m.ascender >> 6);
  MonoGlyph glyph;
  glyph.height = asc - static_cast<int>(m.descender >> 6);
  FT_Load_Char(face_, static_cast<unsigned char>(ch), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
  FT_GlyphSlot g = face_->glyph;
  glyph.width = std::max(1, static_cast<int>((g->advance.x + 32) >> 6));
  glyph.ink.assign(glyph.width * glyph.height, 0);
  for (unsigned r = 0; r < g->bitmap.rows; ++r)
    for (unsigned c = 0; c < g->bitmap.width; ++c) {
      int px = g->bitmap_left + c, py = asc - g->bitmap_top + r;
      bool on = g->bitmap.buffer[r * g->bitmap.pitch + c / 8] & (0x80 >> (c % 8));
      if (on && px >= 0 && py >= 0 && px < glyph.width && py < glyph.height)
        glyph.ink[py * glyph.width + px] = 1;
    }
  return glyph;
}
