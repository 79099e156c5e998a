// Resampling RGBA images to another pixel size: a tent filter on premultiplied colour,
// widened when shrinking so every source pixel counts, so edges keep no dark fringe.
#pragma once

#include "platform/workspace.h"

namespace hovra::catalogue {

// True when the pixel buffer matches the stated size (and the size is not empty).
bool IsWellFormed(const platform::ImageRepresentation& image);

// `image` must be well formed; width and height must be positive.
platform::ImageRepresentation Resample(const platform::ImageRepresentation& image, int width,
                                       int height);

}  // namespace hovra::catalogue
