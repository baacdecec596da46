#include "addons/jpegload.h"

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "addons/graphics_mode.h"

namespace {

// A width x height JPEG: the left half red, the right half blue.
void writeJpeg(const std::string& path, int width, int height)
{
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(width * 3);
  for (int x = 0; x < width; ++x) {
    row[3 * x] = x < width / 2 ? 255 : 0;
    row[3 * x + 2] = x < width / 2 ? 0 : 255;
  }
  for (int y = 0; y < height; ++y) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(out);
}

void expectNear(int pixel, int r, int g, int b)
{
  EXPECT_NEAR(getr(pixel), r, 12);
  EXPECT_NEAR(getg(pixel), g, 12);
  EXPECT_NEAR(getb(pixel), b, 12);
}

void expectRedBlue(BITMAP* image, int width, int height)
{
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->w, width);
  EXPECT_EQ(image->h, height);
  EXPECT_EQ(bitmap_color_depth(image), get_color_depth());
  expectNear(getpixel(image, 4, 4), 255, 0, 0);
  expectNear(getpixel(image, width - 4, height - 4), 0, 0, 255);
}

std::vector<char> readAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const char* data, size_t size)
{
  std::ofstream(path, std::ios::binary).write(data, static_cast<std::streamsize>(size));
}

TEST(JpegLoad, PlainFileInTheCurrentDepth)
{
  TempDir dir;
  writeJpeg(dir.file("picture.jpg"), 48, 32);
  for (int depth : {16, 32}) {
    SCOPED_TRACE(depth);
    ASSERT_TRUE(setGraphicsMode(depth));
    BITMAP* image = load_jpeg(dir.file("picture.jpg").c_str(), nullptr);
    expectRedBlue(image, 48, 32);
    if (image) destroy_bitmap(image);
  }
}

TEST(JpegLoad, ObjectInsideADatafile)
{
  ASSERT_TRUE(setGraphicsMode(32));
  TempDir dir;
  writeJpeg(dir.file("picture.jpg"), 64, 16);
  const std::string dat = "dat -n0 -s1 ";
  const std::string cd = "cd " + dir.path + " && ";
  ASSERT_EQ(std::system((cd + dat + "-a -t DATA panels.dat picture.jpg >/dev/null").c_str()), 0);
  ASSERT_EQ(
      std::system((cd + dat + "panels.dat PICTURE_JPG NAME=global_background1 >/dev/null").c_str()),
      0);
  BITMAP* image = load_jpeg((dir.file("panels.dat") + "#global_background1").c_str(), nullptr);
  expectRedBlue(image, 64, 16);
  if (image) destroy_bitmap(image);
  EXPECT_EQ(load_jpeg((dir.file("panels.dat") + "#no_such_object").c_str(), nullptr), nullptr);
}

TEST(JpegLoad, MissingOrDamagedFilesGiveNull)
{
  ASSERT_TRUE(setGraphicsMode(32));
  TempDir dir;
  EXPECT_EQ(load_jpeg(dir.file("absent.jpg").c_str(), nullptr), nullptr);
  writeJpeg(dir.file("good.jpg"), 64, 64);
  const std::vector<char> good = readAll(dir.file("good.jpg"));
  ASSERT_GT(good.size(), 200u);
  writeAll(dir.file("cut.jpg"), good.data(), good.size() / 2);
  EXPECT_EQ(load_jpeg(dir.file("cut.jpg").c_str(), nullptr), nullptr);
  writeAll(dir.file("header.jpg"), good.data(), 20);
  EXPECT_EQ(load_jpeg(dir.file("header.jpg").c_str(), nullptr), nullptr);
  const char text[] = "not a JPEG at all";
  writeAll(dir.file("text.jpg"), text, sizeof text);
  EXPECT_EQ(load_jpeg(dir.file("text.jpg").c_str(), nullptr), nullptr);
  writeAll(dir.file("empty.jpg"), text, 0);
  EXPECT_EQ(load_jpeg(dir.file("empty.jpg").c_str(), nullptr), nullptr);
}

TEST(JpegLoad, TheGameDatafileBackground)
{
  const char* build = std::getenv("KORVANE_BUILD");
  const std::string file = std::string(build ? build : ".") + "/run/tarvix.dat";
  if (!std::ifstream(file)) GTEST_SKIP() << file << " not built yet";
  ASSERT_TRUE(setGraphicsMode(32));
  BITMAP* image = load_jpeg((file + "#global_background1").c_str(), nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_GT(image->w, 0);
  EXPECT_GT(image->h, 0);
  destroy_bitmap(image);
}

}  // namespace
