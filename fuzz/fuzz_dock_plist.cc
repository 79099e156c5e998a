// The Dock preference file reader on arbitrary bytes (binary and XML property lists).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalogue/dock_plist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto tiles =
      hovra::catalogue::ParseDockTiles(std::string_view(reinterpret_cast<const char*>(data), size));
  if (tiles) {
    size_t total = 0;
    for (const auto& tile : *tiles) {
      total += tile.label ? tile.label->size() : 0;
      total += tile.bundleId ? tile.bundleId->size() : 0;
    }
    // Every text read comes out of the input, so together they cannot be larger than it
    // by more than the UTF-16 to UTF-8 growth (at most 3 bytes for every 2 read).
    if (total > size * 3) __builtin_trap();
  }
  return 0;
}
