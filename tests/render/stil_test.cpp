#include "render/stil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addons/graphics_mode.h"

namespace {

short at(const cCloudTexture& g, int row, int col) { return g.b[row * g.x_max + col]; }

int unsetSamples(const cCloudTexture& g)
{
  return static_cast<int>(std::count(g.b.begin(), g.b.end(), static_cast<short>(-10000)));
}

void expectSeamless(const cCloudTexture& g)
{
  for (int col = 1; col < g.x_max - 1; ++col)
    ASSERT_EQ(g.b[g.last_line + col], at(g, 0, col)) << col;
  for (int row = 1; row < g.y_max - 1; ++row)
    ASSERT_EQ(at(g, row, g.x_max - 1), at(g, row, 0)) << row;
}

TEST(CloudGrid, WrappingGridRepeatsItsEdgesButNotItsSeededCorners)
{
  bool cornersDiffer = false;
  for (int round = 0; round < 10; ++round) {
    cCloudTexture g;
    g.build(64, 64, 0);
    EXPECT_EQ(g.last_line, 64 * 65);
    EXPECT_EQ(unsetSamples(g), 0);
    expectSeamless(g);
    const short corners[] = {at(g, 0, 0), at(g, 0, g.x_max - 1), at(g, g.y_max - 1, 0),
                             at(g, g.y_max - 1, g.x_max - 1)};
    for (short corner : corners) {
      EXPECT_GE(corner, 128);
      EXPECT_LE(corner, 159);
    }
    cornersDiffer |= !std::all_of(corners, corners + 4, [&](short c) { return c == corners[0]; });
  }
  EXPECT_TRUE(cornersDiffer);
}

TEST(CloudGrid, WithoutWrappingTheEdgesAreIndependent)
{
  cCloudTexture g;
  g.build(64, 64, 1);
  int equalColumns = 0;
  for (int col = 1; col < g.x_max - 1; ++col)
    equalColumns += g.b[g.last_line + col] == at(g, 0, col);
  EXPECT_EQ(unsetSamples(g), 0);
  EXPECT_LT(equalColumns, g.x_max / 2);
}

TEST(CloudGrid, NonSquareGridIsFilledWithinItsBounds)
{
  cCloudTexture g;
  g.build(80, 24, 0);
  EXPECT_EQ(g.x_max, 81);
  EXPECT_EQ(g.y_max, 25);
  EXPECT_EQ(unsetSamples(g), 0);
  expectSeamless(g);
}

TEST(StillTarvix, RedSpansTheFullRangeAndNothingElseIsSet)
{
  ASSERT_TRUE(setGraphicsMode(32));
  BITMAP* image = still_tarvix(128, 128, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w, 128);
  EXPECT_EQ(image->h, 128);
  EXPECT_EQ(bitmap_color_depth(image), 32);
  int lowest = 255, highest = 0, otherChannels = 0;
  for (int y = 0; y < image->h; ++y)
    for (int x = 0; x < image->w; ++x) {
      const int p = getpixel(image, x, y);
      lowest = std::min(lowest, getr32(p));
      highest = std::max(highest, getr32(p));
      otherChannels += getg32(p) != 0 || getb32(p) != 0;
    }
  EXPECT_EQ(lowest, 0);
  EXPECT_GE(highest, 254);
  EXPECT_EQ(otherChannels, 0);
  destroy_bitmap(image);
}

}  // namespace
