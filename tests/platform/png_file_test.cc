#include "platform/journal/png_file.h"

#include <gtest/gtest.h>
#include <png.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/journal/journal_workspace.h"
#include "tests/support/temp_dir.h"

namespace hovra::platform::journal {
namespace {

class IconFiles : public ::testing::Test {
 protected:
  // A `width` by `height` image whose pixel i has the bytes i*4 .. i*4+3 (mod 256).
  std::string Write(const std::string& name, int width, int height) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    std::string path = (folder_ / name).string();
    EXPECT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr))
        << png.message;
    return path;
  }

  hovra::testing::TempDir temp_;
  const std::filesystem::path& folder_ = temp_.path();
};

TEST_F(IconFiles, ReadsRgbaPixelsRowByRow) {
  std::optional<ImageRepresentation> image = ReadPngFile(Write("a.png", 3, 2));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelsWide, 3);
  EXPECT_EQ(image->pixelsHigh, 2);
  ASSERT_EQ(image->rgba.size(), 24u);
  EXPECT_EQ(image->rgba[0], 0);
  EXPECT_EQ(image->rgba[13], static_cast<uint8_t>(13 * 7));  // second row, first pixel, green
  EXPECT_EQ(image->rgba[23], static_cast<uint8_t>(23 * 7));
}

TEST_F(IconFiles, RefusesMissingAndBrokenFiles) {
  EXPECT_FALSE(ReadPngFile((folder_ / "missing.png").string()));
  std::ofstream((folder_ / "broken.png").string()) << "\x89PNG\r\n\x1a\n but not really";
  EXPECT_FALSE(ReadPngFile((folder_ / "broken.png").string()));
}

TEST_F(IconFiles, GivesTheWorkspaceOneRepresentationPerReadableFile) {
  std::string small = Write("vlc-32.png", 32, 32);
  std::string large = Write("vlc-128.png", 128, 128);
  SimConfig config;
  config.icons["/Applications/VLC.app"] = {small, (folder_ / "missing.png").string(), large};
  SimDesktop desktop(config);
  auto journal = JournalWriter::InMemory();
  JournalWorkspace workspace(*journal, desktop);
  std::vector<ImageRepresentation> image = workspace.IconForFile("/Applications/VLC.app");
  ASSERT_EQ(image.size(), 2u);
  EXPECT_EQ(image[0].pixelsWide, 32);
  EXPECT_EQ(image[1].pixelsWide, 128);
  EXPECT_EQ(image[1].rgba.size(), 128u * 128u * 4u);
  EXPECT_TRUE(workspace.IconForFile("/Applications/Other.app").empty());
}

}  // namespace
}  // namespace hovra::platform::journal
