#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/app_icon.h"
#include "catalogue/base64.h"
#include "tests/catalogue/catalogue_fixture.h"

namespace hovra::testing {
namespace {

using platform::ImageRepresentation;
using ::testing::ElementsAre;

std::array<uint8_t, 4> PixelAt(const ImageRepresentation& image, int x, int y) {
  const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.pixelsWide + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

TEST(IconChoice, Prefers128Then64Then256ThenTheFirst) {
  auto chosen = [](const std::vector<int>& widths) {
    std::vector<ImageRepresentation> images;
    for (int w : widths) images.push_back(ImageRepresentation{w, w + 1, {}});
    const ImageRepresentation* rep = catalogue::ChooseRepresentation(images);
    return rep == nullptr ? -1 : static_cast<int>(rep - images.data());
  };
  EXPECT_EQ(chosen({32, 256, 64}), 2);
  EXPECT_EQ(chosen({512, 1024}), 0);
  EXPECT_EQ(chosen({64, 256, 128, 128}), 2);
  EXPECT_EQ(chosen({256, 32, 64, 64}), 2);
  EXPECT_EQ(chosen({32, 256, 512}), 1);
  EXPECT_EQ(chosen({}), -1);
}

TEST(IconRendering, ScalesTheChosenRepresentationTo128PixelsAndRefusesBrokenOnes) {
  // 64 wide: left half opaque red, right half fully transparent.
  ImageRepresentation half = SolidImage(64, 64, {0, 0, 0, 0});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 32; ++x) std::memcpy(&half.rgba[(y * 64 + x) * 4], "\xFF\x00\x00\xFF", 4);
  std::optional<std::vector<uint8_t>> png =
      catalogue::IconPng({SolidImage(32, 32, {0, 255, 0, 255}), half});
  ASSERT_TRUE(png);
  ImageRepresentation out = DecodePng(*png);
  ASSERT_EQ(std::pair(out.pixelsWide, out.pixelsHigh), std::pair(128, 128));
  EXPECT_EQ(PixelAt(out, 0, 0), (std::array<uint8_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(out, 127, 127), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  // At the edge the colour stays red while it fades out: no dark fringe.
  EXPECT_THAT(
      PixelAt(out, 64, 10),
      ElementsAre(255, 0, ::testing::_, ::testing::AllOf(::testing::Gt(0), ::testing::Lt(255))));
  // A large one shrinks; a broken one is refused.
  out = DecodePng(*catalogue::IconPng({SolidImage(512, 300, {10, 20, 30, 255})}));
  EXPECT_EQ(std::pair(out.pixelsWide, out.pixelsHigh), std::pair(128, 128));
  EXPECT_EQ(PixelAt(out, 77, 33), (std::array<uint8_t, 4>{10, 20, 30, 255}));
  EXPECT_FALSE(catalogue::IconPng({ImageRepresentation{128, 128, std::vector<uint8_t>(10)}}));
  EXPECT_FALSE(catalogue::IconPng({}));
}

// VLC runs, a 32 and a 128 pixel icon among unreadable files; Notes runs, not installed.
class IconMessageTest : public ::testing::Test {
 protected:
  IconMessageTest() {
    WritePng(folder_ / "vlc-32.png", SolidImage(32, 32, {0, 0, 255, 255}));
    WritePng(folder_ / "vlc-128.png", SolidImage(128, 128, {255, 128, 0, 255}));
    WriteFile(folder_ / "broken.png", "\x89PNG\r\n\x1a\n but not really");
    WriteDockPlist(folder_ / "dock.plist", {{"Mail", "com.apple.mail"}}, PlistForm::kXml);
    env_ = std::make_unique<CatalogueEnvironment>(
        R"({"dockPlist":")" + (folder_ / "dock.plist") + R"(",)" +
        R"("installed":{"org.videolan.vlc":"/Applications/VLC.app","com.apple.mail":"/Applications/Mail.app",)"
        R"("org.other":"/Applications/Other.app"},)"
        R"("running":[{"bundleId":"org.videolan.vlc","name":"VLC"},{"bundleId":"com.apple.Notes","name":"Notes"}],)"
        R"("icons":{"/Applications/VLC.app":[")" +
        (folder_ / "vlc-32.png") + R"(",")" + (folder_ / "missing.png") + R"(",")" +
        (folder_ / "broken.png") + R"(",")" + (folder_ / "vlc-128.png") + R"("]}})");
    env_->Catalogue().getDockInfo();
    buffer_.assign(catalogue::kIconBufferBytes, 'x');
  }

  bool Ask(const std::string& id) { return env_->Catalogue().getIconMsg(buffer_.data(), id); }
  std::string Message() { return std::string(buffer_.data()); }

  TempDir folder_;
  std::unique_ptr<CatalogueEnvironment> env_;
  std::vector<char> buffer_;
};

TEST_F(IconMessageTest, SendsThe128PixelIconCachedUntilTheCatalogueIsRebuilt) {
  ASSERT_TRUE(Ask("org.videolan.vlc"));
  const std::string first = Message();
  ASSERT_THAT(first, ::testing::MatchesRegex("icon org\\.videolan\\.vlc png [A-Za-z0-9+/=]+\n"));
  ImageRepresentation icon =
      DecodePng(catalogue::dataFromBase64String(first.substr(first.rfind(' '))));
  EXPECT_EQ(icon.pixelsWide, 128);
  EXPECT_EQ(PixelAt(icon, 64, 64), (std::array<uint8_t, 4>{255, 128, 0, 255}));
  WritePng(folder_ / "vlc-128.png", SolidImage(128, 128, {9, 9, 9, 255}));
  ASSERT_TRUE(Ask("org.videolan.vlc"));
  EXPECT_EQ(Message(), first);
  env_->Catalogue().refreshDockInfo();
  ASSERT_TRUE(Ask("org.videolan.vlc"));
  EXPECT_NE(Message(), first);
}

TEST_F(IconMessageTest, AnswersNothingWithoutEntryPathOrImageOrRoomInTheBuffer) {
  EXPECT_FALSE(Ask("org.other"));         // installed but not in the catalogue
  EXPECT_FALSE(Ask("com.apple.Notes"));   // in the catalogue, not installed
  EXPECT_FALSE(Ask("com.apple.mail"));    // installed, but there is no image
  EXPECT_FALSE(Ask("org.videolan.VLC"));  // identifiers are case-sensitive
  EXPECT_FALSE(Ask("org.videolan.vlc\xFF"));
  EXPECT_EQ(buffer_[0], 'x');
  // Only messages shorter than the buffer are delivered.
  catalogue::AppEntry* mail = env_->Catalogue().findAppInfoInDockInfo("com.apple.mail");
  mail->icon = std::string(catalogue::kIconBufferBytes - 1, 'a');
  ASSERT_TRUE(Ask("com.apple.mail"));
  EXPECT_EQ(Message().size(), catalogue::kIconBufferBytes - 1);
  mail->icon = std::string(catalogue::kIconBufferBytes, 'b');
  EXPECT_FALSE(Ask("com.apple.mail"));
  EXPECT_FALSE(Ask("com.apple.mail"));  // the cached message keeps failing
  EXPECT_EQ(buffer_[0], 'a');
}

}  // namespace
}  // namespace hovra::testing
