#include "input/utf8.h"

#include <cstdint>

namespace hovra {
namespace {

struct LeadByte {
  int continuationCount;  // -1: the byte cannot start a character
  char32_t initialBits;
  char32_t smallest;  // the smallest value this length may carry (anything below is overlong)
};

LeadByte ClassifyLead(uint8_t byte) {
  if (byte < 0x80) return {0, byte, 0};
  if (byte >= 0xC2 && byte <= 0xDF) return {1, byte & 0x1Fu, 0x80};
  if (byte >= 0xE0 && byte <= 0xEF) return {2, byte & 0x0Fu, 0x800};
  if (byte >= 0xF0 && byte <= 0xF4) return {3, byte & 0x07u, 0x10000};
  return {-1, 0, 0};  // continuation bytes, 0xC0/0xC1 (always overlong) and 0xF5..0xFF
}

bool IsContinuation(uint8_t byte) { return (byte & 0xC0u) == 0x80u; }

void AppendUnits(char32_t value, std::u16string& out) {
  if (value < 0x10000) {
    out.push_back(static_cast<char16_t>(value));
    return;
  }
  value -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FFu)));
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    LeadByte lead = ClassifyLead(static_cast<uint8_t>(text[i]));
    if (lead.continuationCount < 0) return std::nullopt;
    if (text.size() - i - 1 < static_cast<size_t>(lead.continuationCount)) return std::nullopt;
    char32_t value = lead.initialBits;
    for (int k = 1; k <= lead.continuationCount; ++k) {
      auto byte = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
      if (!IsContinuation(byte)) return std::nullopt;
      value = (value << 6) | (byte & 0x3Fu);
    }
    if (value < lead.smallest) return std::nullopt;                 // overlong
    if (value >= 0xD800 && value <= 0xDFFF) return std::nullopt;   // surrogates are not characters
    if (value > 0x10FFFF) return std::nullopt;
    AppendUnits(value, out);
    i += 1 + static_cast<size_t>(lead.continuationCount);
  }
  return out;
}

}  // namespace hovra
