#include "catalogue/utf8_decode.h"

#include <cstdint>

namespace hovra::catalogue {

char32_t NextCodePoint(std::string_view text, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t extra = 0;
  char32_t value = 0;
  char32_t smallest = 0;  // below this the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, value = lead & 0x1Fu, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, value = lead & 0x0Fu, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, value = lead & 0x07u, smallest = 0x10000;
  } else {
    ++pos;
    return kReplacementCharacter;
  }
  if (pos + extra >= text.size()) {  // cut off
    ++pos;
    return kReplacementCharacter;
  }
  for (size_t i = 1; i <= extra; ++i) {
    uint8_t next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacementCharacter;
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacementCharacter;
  }
  pos += extra + 1;
  return value;
}

}  // namespace hovra::catalogue
