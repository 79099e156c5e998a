#include "catalogue/app_icon.h"

#include <png.h>

#include <cstdio>
#include <fstream>

#include "base/log.h"
#include "catalogue/image_scale.h"
#include "platform/services.h"

namespace hovra::catalogue {

using platform::ImageRepresentation;

const ImageRepresentation* ChooseRepresentation(const std::vector<ImageRepresentation>& image) {
  const ImageRepresentation* at64 = nullptr;
  const ImageRepresentation* at256 = nullptr;
  for (const ImageRepresentation& rep : image) {
    if (rep.pixelsWide == 128) return &rep;
    if (rep.pixelsWide == 64 && at64 == nullptr) at64 = &rep;
    if (rep.pixelsWide == 256 && at256 == nullptr) at256 = &rep;
  }
  if (at64 != nullptr) return at64;
  if (at256 != nullptr) return at256;
  return image.empty() ? nullptr : &image.front();
}

std::optional<std::vector<uint8_t>> EncodePng(const ImageRepresentation& image) {
  if (!IsWellFormed(image)) return std::nullopt;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.pixelsWide);
  png.height = static_cast<png_uint_32>(image.pixelsHigh);
  png.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  // The first call measures, the second writes.
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba.data(), 0, nullptr)) {
    Log("catalogue: PNG encoding failed: %s", png.message);
    png_image_free(&png);
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgba.data(), 0, nullptr)) {
    Log("catalogue: PNG encoding failed: %s", png.message);
    png_image_free(&png);
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

std::optional<std::vector<uint8_t>> IconPng(const std::vector<ImageRepresentation>& image) {
  const ImageRepresentation* chosen = ChooseRepresentation(image);
  if (chosen == nullptr || !IsWellFormed(*chosen)) return std::nullopt;
  if (chosen->pixelsWide == kIconPixels && chosen->pixelsHigh == kIconPixels)
    return EncodePng(*chosen);
  return EncodePng(Resample(*chosen, kIconPixels, kIconPixels));
}

std::optional<std::vector<uint8_t>> getPngDataForApp(std::string_view path) {
  if (path.empty()) return std::nullopt;
  return IconPng(platform::GetWorkspace().IconForFile(path));
}

bool saveImage(const std::vector<ImageRepresentation>& image, const std::string& path) {
  std::optional<std::vector<uint8_t>> png = IconPng(image);
  if (!png) return false;
  // Written beside the target and renamed over it, so a reader never sees half a file.
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png->data()),
              static_cast<std::streamsize>(png->size()));
    if (!out.flush()) {
      Log("catalogue: cannot write the image \"%s\"", temporary.c_str());
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    Log("catalogue: cannot move the image to \"%s\"", path.c_str());
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace hovra::catalogue
