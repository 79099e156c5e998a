#include "base/utf8.h"

#include <cstdint>

namespace hovra {
namespace {

struct LeadByte {
  size_t continuationCount;
  char32_t initialBits;
  char32_t smallest;  // the smallest value this length may carry (anything below is overlong)
  bool valid;
};

LeadByte ClassifyLead(uint8_t byte) {
  if (byte < 0x80) return {0, byte, 0, true};
  if (byte >= 0xC2 && byte <= 0xDF) return {1, byte & 0x1Fu, 0x80, true};
  if (byte >= 0xE0 && byte <= 0xEF) return {2, byte & 0x0Fu, 0x800, true};
  if (byte >= 0xF0 && byte <= 0xF4) return {3, byte & 0x07u, 0x10000, true};
  return {0, 0, 0, false};  // continuation bytes, 0xC0/0xC1 (always overlong) and 0xF5..0xFF
}

}  // namespace

size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& value) {
  if (pos >= text.size()) return 0;
  LeadByte lead = ClassifyLead(static_cast<uint8_t>(text[pos]));
  if (!lead.valid || text.size() - pos - 1 < lead.continuationCount) return 0;
  char32_t decoded = lead.initialBits;
  for (size_t k = 1; k <= lead.continuationCount; ++k) {
    auto byte = static_cast<uint8_t>(text[pos + k]);
    if ((byte & 0xC0u) != 0x80u) return 0;
    decoded = (decoded << 6) | (byte & 0x3Fu);
  }
  if (decoded < lead.smallest) return 0;                 // overlong
  if (decoded >= 0xD800 && decoded <= 0xDFFF) return 0;  // surrogates are not characters
  if (decoded > 0x10FFFF) return 0;
  value = decoded;
  return 1 + lead.continuationCount;
}

void AppendUtf16(char32_t value, std::u16string& out) {
  if (value < 0x10000) {
    out.push_back(static_cast<char16_t>(value));
    return;
  }
  value -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FFu)));
}

}  // namespace hovra
