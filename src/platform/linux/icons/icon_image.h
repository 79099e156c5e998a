// Icon files as images: PNG decoded as it is, SVG rendered by librsvg into a square of
// the asked size and turned from premultiplied into straight alpha.
#pragma once

#include <optional>
#include <string>

#include "platform/workspace.h"

namespace hovra::platform::linux_desktop {

// Nothing when the file cannot be read or decoded (said once in the log); XPM files are
// not read.
std::optional<ImageRepresentation> LoadIconImage(const std::string& path, int svgPixels);

// Cairo's ARGB32 (premultiplied, native byte order) as straight RGBA.
ImageRepresentation FromPremultipliedArgb(const unsigned char* data, int width, int height,
                                          int stride);

}  // namespace hovra::platform::linux_desktop
