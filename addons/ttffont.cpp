#include "addons/ttffont.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <vector>

namespace {

struct Glyph {
  int left = 0;  // from the pen position to the image's left edge, pixels
  int top = 0;   // from the baseline up to the image's top row, pixels
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<unsigned char> coverage;  // width * rows values, 0 (empty) to 255 (full)
};

class TtfFont {
public:
  TtfFont() = default;
  TtfFont(const TtfFont&) = delete;
  TtfFont& operator=(const TtfFont&) = delete;
  ~TtfFont()
  {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }

  bool open(const char* file, int points, bool smoothGlyphs);
  const Glyph& glyph(int ch);

  int ascent = 0;
  int height = 0;

private:
  Glyph render(int ch) const;

  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool smooth = false;
  std::map<int, Glyph> glyphs;  // rendered on first use
};

bool TtfFont::open(const char* file, int points, bool smoothGlyphs)
{
  smooth = smoothGlyphs;
  if (FT_Init_FreeType(&library) != 0) return false;
  if (FT_New_Face(library, file, 0, &face) != 0) return false;
  if (FT_Set_Char_Size(face, 0, points * 64, 72, 72) != 0) return false;
  const FT_Size_Metrics& metrics = face->size->metrics;
  ascent = static_cast<int>((metrics.ascender + 63) >> 6);
  height = ascent + static_cast<int>((-metrics.descender + 63) >> 6);
  return true;
}

unsigned char coverageAt(const FT_Bitmap& bitmap, int row, int col)
{
  const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
    return (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
  const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
  return static_cast<unsigned char>(line[col] * 255 / levels);
}

Glyph TtfFont::render(int ch) const
{
  Glyph glyph;
  const FT_Int32 flags =
      FT_LOAD_RENDER | (smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
  if (FT_Load_Char(face, static_cast<FT_ULong>(ch), flags) != 0) return glyph;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
  for (int row = 0; row < glyph.rows; ++row)
    for (int col = 0; col < glyph.width; ++col)
      glyph.coverage[row * glyph.width + col] = coverageAt(bitmap, row, col);
  return glyph;
}

const Glyph& TtfFont::glyph(int ch)
{
  auto found = glyphs.find(ch);
  if (found == glyphs.end()) found = glyphs.emplace(ch, render(ch)).first;
  return found->second;
}

TtfFont& fontData(const FONT* f) { return *static_cast<TtfFont*>(f->data); }

int mix(int over, int under, int coverage)
{
  return (over * coverage + under * (255 - coverage)) / 255;
}

void blendPixel(BITMAP* bmp, int x, int y, int colour, int coverage)
{
  if (x < bmp->cl || x >= bmp->cr || y < bmp->ct || y >= bmp->cb) return;
  if (coverage == 255) {
    putpixel(bmp, x, y, colour);
    return;
  }
  const int depth = bitmap_color_depth(bmp);
  const int under = getpixel(bmp, x, y);
  putpixel(bmp, x, y,
           makecol_depth(depth, mix(getr_depth(depth, colour), getr_depth(depth, under), coverage),
                         mix(getg_depth(depth, colour), getg_depth(depth, under), coverage),
                         mix(getb_depth(depth, colour), getb_depth(depth, under), coverage)));
}

void blendGlyph(BITMAP* bmp, const Glyph& glyph, int x, int y, int colour)
{
  for (int row = 0; row < glyph.rows; ++row)
    for (int col = 0; col < glyph.width; ++col) {
      const int coverage = glyph.coverage[row * glyph.width + col];
      if (coverage > 0) blendPixel(bmp, x + col, y + row, colour, coverage);
    }
}

int fontHeight(const FONT* f) { return fontData(f).height; }

int charLength(const FONT* f, int ch) { return fontData(f).glyph(ch).advance; }

int textLength(const FONT* f, const char* text)
{
  int length = 0;
  for (int ch = ugetxc(&text); ch != 0; ch = ugetxc(&text)) length += charLength(f, ch);
  return length;
}

int renderChar(const FONT* f, int ch, int fg, int bg, BITMAP* bmp, int x, int y)
{
  TtfFont& font = fontData(f);
  const Glyph& glyph = font.glyph(ch);
  if (bg >= 0 && glyph.advance > 0)
    rectfill(bmp, x, y, x + glyph.advance - 1, y + font.height - 1, bg);
  // A negative colour asks a colour font for its own colours; ours has none to give.
  if (fg >= 0) blendGlyph(bmp, glyph, x + glyph.left, y + font.ascent - glyph.top, fg);
  return glyph.advance;
}

void renderText(const FONT* f, const char* text, int fg, int bg, BITMAP* bmp, int x, int y)
{
  acquire_bitmap(bmp);
  for (int ch = ugetxc(&text); ch != 0; ch = ugetxc(&text))
    x += renderChar(f, ch, fg, bg, bmp, x, y);
  release_bitmap(bmp);
}

void destroyFont(FONT* f)
{
  delete &fontData(f);
  delete f;
}

FONT_VTABLE ttfVtable = {fontHeight, charLength, textLength, renderChar, renderText, destroyFont,
                         nullptr,    nullptr,    nullptr,    nullptr,    nullptr,    nullptr};

}  // namespace

FONT* load_ttf_font(const char* file, int points, int smooth)
{
  if (!file || points <= 0) return nullptr;
  auto data = std::make_unique<TtfFont>();
  if (!data->open(file, points, smooth != 0)) return nullptr;
  FONT* f = new FONT{};
  f->height = data->height;
  f->vtable = &ttfVtable;
  f->data = data.release();
  return f;
}
