// Reading PNG files into RGBA pixels (the simulated desktop's icon images).
#pragma once

#include <optional>
#include <string>

#include "platform/workspace.h"

namespace hovra::platform::journal {

// Nothing when the file cannot be read or is not a PNG image.
std::optional<ImageRepresentation> ReadPngFile(const std::string& path);

}  // namespace hovra::platform::journal
