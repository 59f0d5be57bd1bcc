// Image files as the renderer reads them: the pixels of a file written by an
// independent encoder, and the refusals that make it paint a texture instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ImageFile.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

namespace fs = std::filesystem;

class ImageFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("kestrove-image-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(Dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(Dir, ec);
  }
  std::string PathOf(const std::string &Name) const { return (Dir / Name).string(); }
  fs::path Dir;
};

// A 3 x 2 picture whose every pixel differs, alpha included.
std::vector<uint8_t> Pattern() {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < 6; ++i) rgba.insert(rgba.end(), {uint8_t(40 * i), uint8_t(255 - 30 * i), uint8_t(7 * i), uint8_t(255 - i)});
  return rgba;
}

TEST_F(ImageFileTest, PngPixelsReadAsWritten) {
  const std::vector<uint8_t> rgba = Pattern();
  ASSERT_NE(stbi_write_png(PathOf("p.png").c_str(), 3, 2, 4, rgba.data(), 3 * 4), 0);
  const std::optional<graph::Image> img = graph::ReadImageFile(PathOf("p.png"), 256);
  ASSERT_TRUE(img.has_value());
  EXPECT_EQ(img->Width, 3);
  EXPECT_EQ(img->Height, 2);
  EXPECT_EQ(img->Rgba, rgba);
}

TEST_F(ImageFileTest, ImagesWithoutAlphaComeOpaque) {
  const uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
  ASSERT_NE(stbi_write_bmp(PathOf("p.bmp").c_str(), 2, 1, 3, rgb), 0);
  const std::optional<graph::Image> img = graph::ReadImageFile(PathOf("p.bmp"), 256);
  ASSERT_TRUE(img.has_value());
  EXPECT_EQ(img->Rgba, (std::vector<uint8_t>{10, 20, 30, 255, 40, 50, 60, 255}));
}

TEST_F(ImageFileTest, MissingBrokenAndOversizedFilesAreRefused) {
  EXPECT_FALSE(graph::ReadImageFile(PathOf("none.png"), 256));
  EXPECT_FALSE(graph::ReadImageFile(Dir.string(), 256));
  std::ofstream(PathOf("text.png"), std::ios::binary) << "not an image at all";
  EXPECT_FALSE(graph::ReadImageFile(PathOf("text.png"), 256));
  // A PNG cut short after its header reads as no image, not as garbage.
  const std::vector<uint8_t> rgba = Pattern();
  ASSERT_NE(stbi_write_png(PathOf("p.png").c_str(), 3, 2, 4, rgba.data(), 3 * 4), 0);
  fs::resize_file(PathOf("p.png"), 40);
  EXPECT_FALSE(graph::ReadImageFile(PathOf("p.png"), 256));
  ASSERT_NE(stbi_write_png(PathOf("wide.png").c_str(), 3, 2, 4, rgba.data(), 3 * 4), 0);
  EXPECT_FALSE(graph::ReadImageFile(PathOf("wide.png"), 2));
  EXPECT_TRUE(graph::ReadImageFile(PathOf("wide.png"), 3));
}

}  // namespace
