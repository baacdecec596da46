// A TrueType face through FreeType, for captions, the logo and the bitmap fonts.
#pragma once
#include <string>
#include <vector>

#include "picture.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

// One glyph as a monochrome cell of the font's line height (1 = ink).
struct MonoGlyph {
  int width = 0, height = 0;
  std::vector<unsigned char> ink;
};

class Typeface {
public:
  explicit Typeface(const std::string& file);  // exits with a message when unreadable
  ~Typeface();
  Typeface(const Typeface&) = delete;
  Typeface& operator=(const Typeface&) = delete;

  // Width in pixels of text at a pixel size.
  int textWidth(const std::string& text, int pixels);
  // Anti-aliased coverage of text added as alpha to `mask` (w x h values, 0..1), with the
  // baseline of the first character at (x, y).
  void coverage(std::vector<double>& mask, int w, int h, const std::string& text, int pixels, int x,
                int y);
  // Draws text anti-aliased in colour c with its baseline starting at (x, y).
  void draw(Picture& pic, const std::string& text, int pixels, int x, int y, Rgb c);
  // The character's cell for a bitmap font: advance wide, line height high, hinted mono.
  MonoGlyph monoGlyph(char ch, int pixels);
  int ascender(int pixels);

private:
  FT_LibraryRec_* library_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
};
