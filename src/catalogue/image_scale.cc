#include "catalogue/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace hovra::catalogue {
namespace {

using platform::ImageRepresentation;

// The source pixels (and weights) that make one output pixel along one axis.
struct Taps {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Taps> TapsFor(int sourceSize, int targetSize) {
  double scale = static_cast<double>(sourceSize) / targetSize;
  double radius = std::max(1.0, scale);
  std::vector<Taps> all(static_cast<size_t>(targetSize));
  for (int o = 0; o < targetSize; ++o) {
    double centre = (o + 0.5) * scale - 0.5;
    int lo = std::max(0, static_cast<int>(std::floor(centre - radius)));
    int hi = std::min(sourceSize - 1, static_cast<int>(std::ceil(centre + radius)));
    Taps& taps = all[static_cast<size_t>(o)];
    taps.first = lo;
    double total = 0;
    for (int s = lo; s <= hi; ++s) {
      double w = std::max(0.0, 1.0 - std::abs(s - centre) / radius);
      taps.weights.push_back(static_cast<float>(w));
      total += w;
    }
    if (total <= 0) {  // cannot happen with radius >= 1, but never divide by zero
      taps.weights.assign(taps.weights.size(), 0.0f);
      taps.weights[0] = 1.0f;
      total = 1;
    }
    for (float& w : taps.weights) w = static_cast<float>(w / total);
  }
  return all;
}

// Premultiplied float pixels, 4 channels.
using Plane = std::vector<float>;

Plane Premultiply(const ImageRepresentation& image) {
  Plane plane(image.rgba.size());
  for (size_t i = 0; i < image.rgba.size(); i += 4) {
    float alpha = image.rgba[i + 3] / 255.0f;
    for (size_t c = 0; c < 3; ++c) plane[i + c] = image.rgba[i + c] * alpha;
    plane[i + 3] = image.rgba[i + 3];
  }
  return plane;
}

uint8_t ToByte(float value) {
  return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

bool IsWellFormed(const ImageRepresentation& image) {
  return image.pixelsWide > 0 && image.pixelsHigh > 0 &&
         image.rgba.size() == static_cast<size_t>(image.pixelsWide) * image.pixelsHigh * 4;
}

ImageRepresentation Resample(const ImageRepresentation& image, int width, int height) {
  const size_t sw = image.pixelsWide, sh = image.pixelsHigh, dw = width, dh = height;
  Plane source = Premultiply(image);
  std::vector<Taps> across = TapsFor(image.pixelsWide, width);
  std::vector<Taps> down = TapsFor(image.pixelsHigh, height);

  Plane wide(dw * sh * 4, 0.0f);  // resampled across, original height
  for (size_t y = 0; y < sh; ++y) {
    for (size_t x = 0; x < dw; ++x) {
      const Taps& taps = across[x];
      for (size_t k = 0; k < taps.weights.size(); ++k) {
        const float* from = &source[(y * sw + taps.first + k) * 4];
        float* to = &wide[(y * dw + x) * 4];
        for (size_t c = 0; c < 4; ++c) to[c] += from[c] * taps.weights[k];
      }
    }
  }
  ImageRepresentation out{width, height, std::vector<uint8_t>(dw * dh * 4)};
  for (size_t y = 0; y < dh; ++y) {
    const Taps& taps = down[y];
    for (size_t x = 0; x < dw; ++x) {
      float pixel[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < taps.weights.size(); ++k) {
        const float* from = &wide[((taps.first + k) * dw + x) * 4];
        for (size_t c = 0; c < 4; ++c) pixel[c] += from[c] * taps.weights[k];
      }
      uint8_t* to = &out.rgba[(y * dw + x) * 4];
      float alpha = pixel[3];
      for (size_t c = 0; c < 3; ++c) to[c] = alpha > 0 ? ToByte(pixel[c] * 255.0f / alpha) : 0;
      to[3] = ToByte(alpha);
    }
  }
  return out;
}

}  // namespace hovra::catalogue
