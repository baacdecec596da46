#include <gtest/gtest.h>

#include <vector>

#include "addons/graphics_mode.h"
#include "render/catalogueimages.h"

namespace {

// A tile of the given colour whose top-left pixel is in the mask colour.
BITMAP* tile(int width, int height, int colour)
{
  BITMAP* bmp = create_bitmap(width, height);
  clear_to_color(bmp, colour);
  putpixel(bmp, 0, 0, bitmap_mask_color(bmp));
  return bmp;
}

class ScaledImage : public ::testing::Test {
protected:
  void open(int width, int height)
  {
    ASSERT_TRUE(setGraphicsMode(32, width, height));
    image = tile(84, 42, makecol(200, 0, 0));
    db = std::make_unique<cCatalogueImages>(std::vector<cKindPictures>{{}, {image}},
                                            std::vector<cKindPictures>{},
                                            std::vector<cKindPictures>{});
  }
  void TearDown() override
  {
    db.reset();
    if (image) destroy_bitmap(image);
  }
  BITMAP* image = nullptr;
  std::unique_ptr<cCatalogueImages> db;
};

TEST_F(ScaledImage, ReferenceScreenAddsTwoPixelsAndIsCached)
{
  open(1024, 768);
  EXPECT_EQ(db->retrieveTerrainImage(1, 0), nullptr);
  EXPECT_EQ(db->retrieveTerrainImage(-1, 8), nullptr);
  EXPECT_EQ(db->retrieveTerrainImage(2, 8), nullptr);
  EXPECT_EQ(db->retrieveObjectImage(0, 8), nullptr);
  EXPECT_EQ(db->retrieveUnitImage(0, 8), nullptr);
  EXPECT_EQ(db->retrieveObjectImage(0), nullptr);
  EXPECT_EQ(db->retrieveTerrainImage(-1), nullptr);
  EXPECT_EQ(db->retrieveTerrainImage(2), nullptr);
  EXPECT_EQ(db->retrieveTerrainImage(1), image);
  BITMAP* scaled = db->retrieveTerrainImage(1, 8);
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->w, 86);
  EXPECT_EQ(scaled->h, 44);
  // A mark survives only if the second call hands back the same image rather than a new one
  // that happens to reuse the freed memory.
  putpixel(scaled, 43, 22, makecol(0, 255, 0));
  EXPECT_EQ(db->retrieveTerrainImage(1, 8), scaled);
  EXPECT_EQ(getpixel(scaled, 43, 22), makecol(0, 255, 0));
  EXPECT_EQ(getpixel(scaled, 42, 22), makecol(200, 0, 0));
  EXPECT_EQ(getpixel(scaled, 0, 0), makecol(255, 0, 255));
  EXPECT_EQ(getpixel(scaled, 85, 43), makecol(200, 0, 0));
}

TEST_F(ScaledImage, AnotherZoomRebuildsTheCopy)
{
  open(1024, 768);
  BITMAP* first = db->retrieveTerrainImage(1, 8);
  ASSERT_NE(first, nullptr);
  putpixel(first, 43, 22, makecol(0, 255, 0));
  BITMAP* half = db->retrieveTerrainImage(1, 4);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->w, 43);  // (85 * 4096) / 8192 + 1
  EXPECT_EQ(half->h, 22);  // (43 * 4096) / 8192 + 1
  BITMAP* again = db->retrieveTerrainImage(1, 8);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->w, 86);
  EXPECT_EQ(again->h, 44);
  EXPECT_EQ(getpixel(again, 43, 22), makecol(200, 0, 0));
}

TEST_F(ScaledImage, SizeFollowsTheScreenWidth)
{
  open(640, 480);
  BITMAP* scaled = db->retrieveTerrainImage(1, 8);
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->w, 54);  // (85 * 5120) / 8192 + 1, truncated
  EXPECT_EQ(scaled->h, 27);  // (43 * 5120) / 8192 + 1
  BITMAP* large = db->retrieveTerrainImage(1, 20);
  EXPECT_EQ(large->w, 133);  // (85 * 12800) / 8192 + 1
}

TEST_F(ScaledImage, NoGraphicsModeGivesOnePixel)
{
  open(640, 480);
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
  ASSERT_EQ(SCREEN_W, 0);
  BITMAP* scaled = db->retrieveTerrainImage(1, 8);
  ASSERT_NE(scaled, nullptr);
  EXPECT_EQ(scaled->w, 1);
  EXPECT_EQ(scaled->h, 1);
}

TEST(TestImages, ColumnsWrapBelowTheScreenHeight)
{
  ASSERT_TRUE(setGraphicsMode(32, 640, 480));
  const int red = makecol(255, 0, 0), green = makecol(0, 255, 0), blue = makecol(0, 0, 255);
  const int white = makecol(255, 255, 255), yellow = makecol(255, 255, 0);
  BITMAP* images[] = {tile(10, 10, yellow), tile(20, 200, red), tile(30, 200, green),
                      tile(40, 200, blue), tile(50, 100, white)};
  const cCatalogueImages db({{images[0]}, {images[1]}, {images[2]}}, {{images[0]}, {images[3]}},
                            {{images[0]}, {images[4]}});
  BITMAP* dest = create_bitmap(640, 700);
  clear_to_color(dest, 0);
  testImages(db, dest);
  EXPECT_EQ(getpixel(dest, 10, 100), red);    // (0, 0)
  EXPECT_EQ(getpixel(dest, 25, 300), green);  // (0, 200)
  EXPECT_EQ(getpixel(dest, 35, 500), blue);   // (0, 400): y reaches 600 > 480, next column
  EXPECT_EQ(getpixel(dest, 85, 50), white);   // (40, 0), 40 being the blue image's width
  EXPECT_EQ(getpixel(dest, 85, 150), 0);
  EXPECT_EQ(getpixel(dest, 0, 0), 0);  // the mask pixel is not drawn
  int placeholders = 0;
  for (int y = 0; y < dest->h; ++y)
    for (int x = 0; x < dest->w; ++x) placeholders += getpixel(dest, x, y) == yellow;
  EXPECT_EQ(placeholders, 0);
  destroy_bitmap(dest);
  for (BITMAP* image : images) destroy_bitmap(image);
}

}  // namespace

namespace {
// The catalogue's images laid out for a look: all of them, inside the area, none enlarged.
TEST(ShowCatalogue, EveryImageFitsTheAreaInOneGrid)
{
  ASSERT_TRUE(setGraphicsMode(32, 640, 480));
  const int colours[] = {makecol(255, 0, 0), makecol(0, 255, 0), makecol(0, 0, 255),
                         makecol(255, 255, 0), makecol(0, 255, 255)};
  BITMAP* images[] = {tile(10, 10, colours[0]), tile(170, 300, colours[1]),
                      tile(400, 200, colours[2]), tile(40, 600, colours[3]),
                      tile(30, 20, colours[4])};
  const cCatalogueImages db({{nullptr}, {images[0]}, {images[1]}}, {{nullptr}, {images[2]}},
                            {{nullptr}, {images[3]}, {images[4]}});
  for (const cRect area : {cRect(0, 0, 640, 460), cRect(20, 10, 340, 190)}) {
    BITMAP* dest = create_bitmap(640, 480);
    clear_to_color(dest, 0);
    showCatalogue(db, dest, area);
    std::vector<int> found(5, 0);
    int outside = 0;
    for (int y = 0; y < dest->h; ++y) {
      for (int x = 0; x < dest->w; ++x) {
        const int c = getpixel(dest, x, y);
        if (c == 0) continue;
        outside += !area.includes(cPoint(x, y));
        for (int i = 0; i < 5; ++i) found[i] += c == colours[i];
      }
    }
    EXPECT_EQ(outside, 0) << area.myWidth();
    for (int i = 0; i < 5; ++i) EXPECT_GT(found[i], 0) << i << " in " << area.myWidth();
    EXPECT_EQ(found[0], 10 * 10 - 1) << "a small image keeps its size (its mask corner aside)";
    destroy_bitmap(dest);
  }
  for (BITMAP* image : images) destroy_bitmap(image);
}
}  // namespace
