// The Dock description: arbitrary entries to compact JSON and its 7-bit ASCII form. The
// input is cut at 0xff bytes into name, identifier, name, identifier, ...; the low bit of
// each name's first byte says whether the application runs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/dock_description.h"

namespace {

std::vector<std::string> CutAt0xff(std::string_view bytes) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || static_cast<unsigned char>(bytes[i]) == 0xff) {
      parts.emplace_back(bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<hovra::catalogue::AppEntry> entries;
  const std::vector<std::string> parts = CutAt0xff(bytes);
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    hovra::catalogue::AppEntry entry;
    entry.name = parts[i];
    entry.bundleId = parts[i + 1];
    entry.running = !parts[i].empty() && (parts[i][0] & 1) != 0;
    entries.push_back(std::move(entry));
  }
  const std::string description = hovra::catalogue::DockDescription(entries);
  for (char ch : description) {
    if (static_cast<unsigned char>(ch) >= 0x80) __builtin_trap();  // must be 7-bit ASCII
  }
  for (char ch : hovra::catalogue::NonLossyAscii(bytes)) {
    if (static_cast<unsigned char>(ch) >= 0x80) __builtin_trap();
  }
  return 0;
}
