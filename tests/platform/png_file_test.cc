#include "platform/journal/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>

#include "platform/journal/journal_workspace.h"
#include "tests/support/temp_dir.h"

namespace hovra::platform::journal {
namespace {

// A `width` by `height` image whose byte i is i*7 (mod 256).
std::string WritePng(const std::filesystem::path& path, int width, int height) {
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7);
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = PNG_FORMAT_RGBA;
  EXPECT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr))
      << png.message;
  return path.string();
}

TEST(IconFiles, GiveTheWorkspaceOneRgbaRepresentationPerReadableFile) {
  hovra::testing::TempDir folder;
  const std::string broken = folder / "broken.png";
  std::ofstream(broken) << "\x89PNG\r\n\x1a\n but not really";
  SimConfig config;
  config.icons["/Applications/VLC.app"] = {WritePng(folder / "a.png", 3, 2), folder / "missing.png",
                                           broken, WritePng(folder / "b.png", 128, 128)};
  SimDesktop desktop(config);
  auto journal = JournalWriter::InMemory();
  JournalWorkspace workspace(*journal, desktop);
  std::vector<ImageRepresentation> image = workspace.IconForFile("/Applications/VLC.app");
  ASSERT_EQ(image.size(), 2u);
  EXPECT_EQ(image[0].pixelsWide, 3);
  EXPECT_EQ(image[0].pixelsHigh, 2);
  ASSERT_EQ(image[0].rgba.size(), 24u);
  EXPECT_EQ(image[0].rgba[13], static_cast<uint8_t>(13 * 7));  // second row, first pixel, green
  EXPECT_EQ(image[0].rgba[23], static_cast<uint8_t>(23 * 7));
  EXPECT_EQ(image[1].rgba.size(), 128u * 128u * 4u);
  EXPECT_TRUE(workspace.IconForFile("/Applications/Other.app").empty());
  EXPECT_FALSE(ReadPngFile(broken));
}

}  // namespace
}  // namespace hovra::platform::journal
