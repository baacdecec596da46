#include "addons/ttffont.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "addons/graphics_mode.h"

namespace {

const char* fontFile()
{
  static const char* const candidates[] = {
      "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
  for (const char* candidate : candidates)
    if (std::ifstream(candidate)) return candidate;
  return nullptr;
}

struct Ink {
  int changed = 0;     // pixels that differ from the background
  int exact = 0;       // pixels in exactly the requested colour
  int partial = 0;     // blends strictly between background and colour
  int offHue = 0;      // pixels whose blue is not 0 or whose red and green differ much
  int outsideBox = 0;  // changed pixels outside text_length x text_height from the origin
};

// Yellow text on black: every blend keeps red equal to green (up to 5-bit rounding) and no blue.
Ink inspect(BITMAP* bmp, int colour, int x0, int y0, int length, int height)
{
  Ink ink;
  const int depth = bitmap_color_depth(bmp);
  for (int y = 0; y < bmp->h; ++y)
    for (int x = 0; x < bmp->w; ++x) {
      const int p = getpixel(bmp, x, y);
      if (p == 0) continue;
      ++ink.changed;
      const int r = getr_depth(depth, p), g = getg_depth(depth, p), b = getb_depth(depth, p);
      if (p == colour)
        ++ink.exact;
      else if (r < 200)
        ++ink.partial;
      if (b != 0 || std::abs(r - g) > 8) ++ink.offHue;
      if (x < x0 || x >= x0 + length || y < y0 || y >= y0 + height) ++ink.outsideBox;
    }
  return ink;
}

class TtfFontTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    file = fontFile();
    if (!file) GTEST_SKIP() << "no TrueType font installed";
  }
  const char* file = nullptr;
};

TEST_F(TtfFontTest, SmoothTextIsTheRequestedColourAtEveryDepth)
{
  for (int depth : {15, 16, 24, 32}) {
    SCOPED_TRACE(depth);
    ASSERT_TRUE(setGraphicsMode(depth));
    FONT* f = load_ttf_font(file, 24, 1);
    ASSERT_NE(f, nullptr);
    BITMAP* bmp = create_bitmap(200, 60);
    clear_to_color(bmp, 0);
    const int yellow = makecol(255, 255, 0);
    textout_ex(bmp, f, "Korvane", 5, 10, yellow, -1);
    const Ink ink = inspect(bmp, yellow, 5, 10, text_length(f, "Korvane"), text_height(f));
    EXPECT_GT(ink.exact, 20);
    EXPECT_GT(ink.partial, 10) << "anti-aliased edges expected";
    EXPECT_EQ(ink.offHue, 0);
    EXPECT_EQ(ink.outsideBox, 0);
    destroy_bitmap(bmp);
    destroy_font(f);
  }
}

TEST_F(TtfFontTest, UnsmoothedTextHasOnlyFullColourPixels)
{
  ASSERT_TRUE(setGraphicsMode(32));
  FONT* f = load_ttf_font(file, 16, 0);
  ASSERT_NE(f, nullptr);
  BITMAP* bmp = create_bitmap(200, 40);
  clear_to_color(bmp, 0);
  const int yellow = makecol(255, 255, 0);
  textout_ex(bmp, f, "Korvane", 0, 0, yellow, -1);
  const Ink ink = inspect(bmp, yellow, 0, 0, text_length(f, "Korvane"), text_height(f));
  EXPECT_GT(ink.exact, 20);
  EXPECT_EQ(ink.changed, ink.exact);
  destroy_bitmap(bmp);
  destroy_font(f);
}

TEST_F(TtfFontTest, BlendsWithWhatIsAlreadyDrawn)
{
  ASSERT_TRUE(setGraphicsMode(16));
  FONT* f = load_ttf_font(file, 24, 1);
  ASSERT_NE(f, nullptr);
  BITMAP* bmp = create_bitmap(200, 60);
  clear_to_color(bmp, makecol(255, 255, 255));
  textout_ex(bmp, f, "Korvane", 0, 0, makecol(0, 0, 0), -1);
  int grey = 0, coloured = 0;
  for (int y = 0; y < bmp->h; ++y)
    for (int x = 0; x < bmp->w; ++x) {
      const int p = getpixel(bmp, x, y);
      const int r = getr(p), g = getg(p), b = getb(p);
      if (r > 0 && r < 240) ++grey;
      if (std::abs(r - g) > 8 || std::abs(g - b) > 8) ++coloured;
    }
  EXPECT_GT(grey, 10);
  EXPECT_EQ(coloured, 0);
  destroy_bitmap(bmp);
  destroy_font(f);
}

TEST_F(TtfFontTest, BackgroundColourFillsTheTextBox)
{
  ASSERT_TRUE(setGraphicsMode(24));
  FONT* f = load_ttf_font(file, 20, 1);
  ASSERT_NE(f, nullptr);
  BITMAP* bmp = create_bitmap(200, 60);
  clear_to_color(bmp, 0);
  const int blue = makecol(0, 0, 255);
  textout_ex(bmp, f, "i i", 10, 10, makecol(255, 255, 255), blue);
  const int length = text_length(f, "i i");
  EXPECT_EQ(getpixel(bmp, 10, 10), blue);
  EXPECT_EQ(getpixel(bmp, 10 + length - 1, 10 + text_height(f) - 1), blue);
  EXPECT_EQ(getpixel(bmp, 10 + length, 10), 0);
  EXPECT_EQ(getpixel(bmp, 10, 10 + text_height(f)), 0);
  destroy_bitmap(bmp);
  destroy_font(f);
}

TEST_F(TtfFontTest, MeasuresGrowWithTextAndSize)
{
  FONT* small = load_ttf_font(file, 12, 1);
  FONT* large = load_ttf_font(file, 36, 1);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(text_length(small, ""), 0);
  EXPECT_GT(text_length(small, "W"), text_length(small, "i"));
  EXPECT_EQ(text_length(small, "WiWi"), 2 * text_length(small, "Wi"));
  EXPECT_GT(text_length(large, "Wi"), 2 * text_length(small, "Wi"));
  EXPECT_GE(text_height(small), 12);
  EXPECT_LE(text_height(small), 24);
  EXPECT_GE(text_height(large), 36);
  EXPECT_LE(text_height(large), 72);
  destroy_font(small);
  destroy_font(large);
}

TEST_F(TtfFontTest, DrawingPastTheBitmapEdgesIsClipped)
{
  ASSERT_TRUE(setGraphicsMode(32));
  FONT* f = load_ttf_font(file, 40, 1);
  ASSERT_NE(f, nullptr);
  BITMAP* bmp = create_bitmap(30, 20);
  clear_to_color(bmp, 0);
  textout_ex(bmp, f, "WW", -15, -10, makecol(255, 255, 0), -1);
  textout_ex(bmp, f, "WW", 20, 10, makecol(255, 255, 0), -1);
  EXPECT_EQ(inspect(bmp, makecol(255, 255, 0), -15, -10, 100, 100).offHue, 0);
  destroy_bitmap(bmp);
  destroy_font(f);
}

TEST(TtfFontLoad, MissingOrNonFontFileGivesNull)
{
  EXPECT_EQ(load_ttf_font("/nonexistent/times.ttf", 12, 1), nullptr);
  TempDir dir;
  std::ofstream(dir.file("bogus.ttf")) << "this is not a font";
  EXPECT_EQ(load_ttf_font(dir.file("bogus.ttf").c_str(), 12, 1), nullptr);
  const char* file = fontFile();
  if (file) {
    EXPECT_EQ(load_ttf_font(file, 0, 1), nullptr);
  }
}

}  // namespace
