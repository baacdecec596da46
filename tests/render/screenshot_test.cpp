#include "render/screenshot.h"

#include <gtest/gtest.h>

#include <fstream>

#include "addons/graphics_mode.h"
// loadpng.h needs Allegro's declarations first.
#include <loadpng.h>

namespace {

// The PNG colour type from the IHDR chunk: 2 is RGB, 6 is RGB with alpha.
int pngColourType(const std::string& file)
{
  std::ifstream in(file, std::ios::binary);
  char header[26] = {};
  in.read(header, sizeof header);
  return in ? static_cast<unsigned char>(header[25]) : -1;
}

TEST(Screenshot, ThirtyTwoBitScreenSavesOpaque)
{
  ASSERT_TRUE(setGraphicsMode(32));
  TempDir dir;
  clear_to_color(screen, makecol(10, 200, 30));
  rectfill(screen, 100, 50, 199, 149, makecol(250, 120, 0));
  BITMAP* whole = create_sub_bitmap(screen, 0, 0, SCREEN_W, SCREEN_H);
  const std::string file = dir.file("dump.png");
  ASSERT_TRUE(save_screenshot(file.c_str(), whole));
  destroy_bitmap(whole);
  EXPECT_EQ(pngColourType(file), 2);
  register_png_file_type();
  set_color_conversion(COLORCONV_NONE);
  BITMAP* saved = load_bitmap(file.c_str(), nullptr);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->w, SCREEN_W);
  EXPECT_EQ(saved->h, SCREEN_H);
  const int inside = getpixel(saved, 150, 100);
  const int outside = getpixel(saved, 10, 10);
  EXPECT_EQ(getr24(inside), 250);
  EXPECT_EQ(getg24(inside), 120);
  EXPECT_EQ(getr24(outside), 10);
  EXPECT_EQ(getg24(outside), 200);
  destroy_bitmap(saved);
  set_color_conversion(COLORCONV_TOTAL);
}

TEST(Screenshot, UnwritablePathFails)
{
  ASSERT_TRUE(setGraphicsMode(32));
  BITMAP* bmp = create_bitmap(8, 8);
  EXPECT_FALSE(save_screenshot("/nonexistent/dir/dump.png", bmp));
  destroy_bitmap(bmp);
}

}  // namespace
