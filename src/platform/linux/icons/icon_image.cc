#include "platform/linux/icons/icon_image.h"

#include <librsvg/rsvg.h>

#include <cstdint>
#include <cstring>

#include "base/log.h"
#include "platform/journal/png_file.h"

namespace hovra::platform::linux_desktop {
namespace {

std::optional<ImageRepresentation> RenderSvg(const std::string& path, int pixels) {
  static LogOnce s_failed;
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_file(path.c_str(), &error);
  std::optional<ImageRepresentation> image;
  if (handle != nullptr) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(surface);
    RsvgRectangle viewport{0, 0, static_cast<double>(pixels), static_cast<double>(pixels)};
    if (rsvg_handle_render_document(handle, cr, &viewport, &error)) {
      cairo_surface_flush(surface);
      image = FromPremultipliedArgb(cairo_image_surface_get_data(surface), pixels, pixels,
                                    cairo_image_surface_get_stride(surface));
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    g_object_unref(handle);
  }
  if (!image && s_failed.First()) {
    Log("icons: cannot render \"%s\": %s (logged once)", path.c_str(),
        error != nullptr ? error->message : "?");
  }
  if (error != nullptr) g_error_free(error);
  return image;
}

}  // namespace

ImageRepresentation FromPremultipliedArgb(const unsigned char* data, int width, int height,
                                          int stride) {
  ImageRepresentation image{width, height, {}};
  image.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  uint8_t* out = image.rgba.data();
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x, out += 4) {
      uint32_t pixel = 0;
      std::memcpy(&pixel, row + x * 4, sizeof pixel);
      const uint32_t alpha = pixel >> 24;
      if (alpha == 0) continue;  // already zero
      auto straight = [alpha](uint32_t premultiplied) {
        return static_cast<uint8_t>((premultiplied * 255 + alpha / 2) / alpha);
      };
      out[0] = straight((pixel >> 16) & 0xFF);
      out[1] = straight((pixel >> 8) & 0xFF);
      out[2] = straight(pixel & 0xFF);
      out[3] = static_cast<uint8_t>(alpha);
    }
  }
  return image;
}

std::optional<ImageRepresentation> LoadIconImage(const std::string& path, int svgPixels) {
  if (path.ends_with(".svg") || path.ends_with(".svgz")) return RenderSvg(path, svgPixels);
  if (path.ends_with(".xpm")) {
    static LogOnce s_xpm;
    if (s_xpm.First()) Log("icons: XPM images are not read (\"%s\"; logged once)", path.c_str());
    return std::nullopt;
  }
  return journal::ReadPngFile(path);
}

}  // namespace hovra::platform::linux_desktop
