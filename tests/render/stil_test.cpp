#include "render/stil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addons/graphics_mode.h"

namespace {

short at(int row, int col) { return b[row * x_max + col]; }

int unsetSamples()
{
  return static_cast<int>(std::count(b, b + x_max * y_max, static_cast<short>(-10000)));
}

void expectSeamless()
{
  for (int col = 1; col < x_max - 1; ++col) ASSERT_EQ(b[last_line + col], at(0, col)) << col;
  for (int row = 1; row < y_max - 1; ++row) ASSERT_EQ(at(row, x_max - 1), at(row, 0)) << row;
}

TEST(CloudGrid, WrappingGridRepeatsItsEdgesButNotItsSeededCorners)
{
  bool cornersDiffer = false;
  for (int round = 0; round < 10; ++round) {
    buildCloudGrid(64, 64, 0);
    EXPECT_EQ(last_line, 64 * 65);
    EXPECT_EQ(unsetSamples(), 0);
    expectSeamless();
    const short corners[] = {at(0, 0), at(0, x_max - 1), at(y_max - 1, 0),
                             at(y_max - 1, x_max - 1)};
    for (short corner : corners) {
      EXPECT_GE(corner, 128);
      EXPECT_LE(corner, 159);
    }
    cornersDiffer |= !std::all_of(corners, corners + 4, [&](short c) { return c == corners[0]; });
    freeCloudGrid();
  }
  EXPECT_TRUE(cornersDiffer);
}

TEST(CloudGrid, WithoutWrappingTheEdgesAreIndependent)
{
  buildCloudGrid(64, 64, 1);
  int equalColumns = 0;
  for (int col = 1; col < x_max - 1; ++col) equalColumns += b[last_line + col] == at(0, col);
  EXPECT_EQ(unsetSamples(), 0);
  EXPECT_LT(equalColumns, x_max / 2);
  freeCloudGrid();
}

TEST(CloudGrid, NonSquareGridIsFilledWithinItsBounds)
{
  buildCloudGrid(80, 24, 0);
  EXPECT_EQ(x_max, 81);
  EXPECT_EQ(y_max, 25);
  EXPECT_EQ(unsetSamples(), 0);
  expectSeamless();
  freeCloudGrid();
}

TEST(StillTarvix, RedSpansTheFullRangeAndNothingElseIsSet)
{
  ASSERT_TRUE(setGraphicsMode(32));
  BITMAP* image = still_tarvix(128, 128, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w, 128);
  EXPECT_EQ(image->h, 128);
  EXPECT_EQ(bitmap_color_depth(image), 32);
  EXPECT_EQ(b, nullptr);
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
