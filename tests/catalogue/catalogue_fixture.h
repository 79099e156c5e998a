// Dock property lists, icon PNG files and a recording platform pointing at them.
#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/sys_util.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

struct Tile {
  std::optional<std::string> label;
  std::optional<std::string> bundleId;
};

enum class PlistForm { kBinary, kXml };

// A Dock preference file with these tiles under "persistent-apps".
inline void WriteDockPlist(const std::string& path, const std::vector<Tile>& tiles,
                           PlistForm form) {
  plist_t root = plist_new_dict();
  plist_t apps = plist_new_array();
  for (const Tile& tile : tiles) {
    plist_t data = plist_new_dict();
    if (tile.label) plist_dict_set_item(data, "file-label", plist_new_string(tile.label->c_str()));
    if (tile.bundleId)
      plist_dict_set_item(data, "bundle-identifier", plist_new_string(tile.bundleId->c_str()));
    plist_t element = plist_new_dict();
    plist_dict_set_item(element, "tile-data", data);
    plist_array_append_item(apps, element);
  }
  plist_dict_set_item(root, "persistent-apps", apps);
  char* bytes = nullptr;
  uint32_t length = 0;
  (form == PlistForm::kBinary ? plist_to_bin : plist_to_xml)(root, &bytes, &length);
  WriteFile(path, std::string(bytes, length));
  free(bytes);
  plist_free(root);
}

inline platform::ImageRepresentation SolidImage(int width, int height,
                                                std::array<uint8_t, 4> rgba) {
  platform::ImageRepresentation image{width, height, {}};
  for (int i = 0; i < width * height; ++i)
    image.rgba.insert(image.rgba.end(), rgba.begin(), rgba.end());
  return image;
}

inline void WritePng(const std::string& path, const platform::ImageRepresentation& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.pixelsWide);
  png.height = static_cast<png_uint_32>(image.pixelsHigh);
  png.format = PNG_FORMAT_RGBA;
  ASSERT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0, nullptr))
      << png.message;
}

inline platform::ImageRepresentation DecodePng(const std::vector<uint8_t>& bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  platform::ImageRepresentation image;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
    ADD_FAILURE() << "not a PNG: " << png.message;
    return image;
  }
  png.format = PNG_FORMAT_RGBA;
  image.pixelsWide = static_cast<int>(png.width);
  image.pixelsHigh = static_cast<int>(png.height);
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr))
    ADD_FAILURE() << png.message;
  return image;
}

// A fresh catalogue on a recording platform; the simulated desktop is given as JSON.
class CatalogueEnvironment {
 public:
  explicit CatalogueEnvironment(const std::string& simJson) : platform_(simJson) {
    catalogue::SysUtil::ResetSharedInstanceForTesting();
  }
  ~CatalogueEnvironment() { catalogue::SysUtil::ResetSharedInstanceForTesting(); }

  TestPlatform& Platform() { return platform_; }
  catalogue::SysUtil& Catalogue() { return catalogue::SysUtil::sharedInstance(); }
  platform::journal::JournalWorkspace& Workspace() { return platform_.Backend().Workspace(); }

 private:
  TestPlatform platform_;
};

}  // namespace hovra::testing
