// The version comparison on arbitrary text pairs (cut at the first 0xff byte): it must be
// an ordering, so swapping the sides flips the result and a text equals itself.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/version_compare.h"

using hovra::app::CompareVersions;
using hovra::app::VersionOrder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t cut = bytes.find('\xff');
  const std::string_view left = bytes.substr(0, cut);
  const std::string_view right =
      cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1);
  const int forward = static_cast<int>(CompareVersions(left, right));
  const int backward = static_cast<int>(CompareVersions(right, left));
  if (forward != -backward) __builtin_trap();
  if (CompareVersions(left, left) != VersionOrder::kSame) __builtin_trap();
  return 0;
}
