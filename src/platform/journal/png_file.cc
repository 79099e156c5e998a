#include "platform/journal/png_file.h"

#include <png.h>

#include "base/log.h"

namespace hovra::platform::journal {

std::optional<ImageRepresentation> ReadPngFile(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    Log("journal: cannot read the PNG file \"%s\": %s", path.c_str(), png.message);
    return std::nullopt;
  }
  png.format = PNG_FORMAT_RGBA;
  ImageRepresentation image;
  image.pixelsWide = static_cast<int>(png.width);
  image.pixelsHigh = static_cast<int>(png.height);
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
    Log("journal: cannot decode the PNG file \"%s\": %s", path.c_str(), png.message);
    png_image_free(&png);
    return std::nullopt;
  }
  return image;
}

}  // namespace hovra::platform::journal
