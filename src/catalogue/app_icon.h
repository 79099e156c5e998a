// Application icons as PNG: the representation chosen by pixel width (128, else 64,
// else 256, else the first), rendered at 128 by 128 and encoded with libpng.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workspace.h"

namespace hovra::catalogue {

inline constexpr int kIconPixels = 128;  // width and height of every icon sent

// Nothing when there are no representations.
const platform::ImageRepresentation* ChooseRepresentation(
    const std::vector<platform::ImageRepresentation>& image);

std::optional<std::vector<uint8_t>> EncodePng(const platform::ImageRepresentation& image);

// The chosen representation at 128 by 128, as PNG; nothing for an empty or broken image.
std::optional<std::vector<uint8_t>> IconPng(
    const std::vector<platform::ImageRepresentation>& image);

// The icon of the application bundle at `path`, through the workspace.
std::optional<std::vector<uint8_t>> getPngDataForApp(std::string_view path);

// Writes the image as a 128 by 128 PNG file, replacing `path` in one step.
bool saveImage(const std::vector<platform::ImageRepresentation>& image, const std::string& path);

}  // namespace hovra::catalogue
