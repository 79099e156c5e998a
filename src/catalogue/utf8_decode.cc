#include "catalogue/utf8_decode.h"

#include "base/utf8.h"

namespace hovra::catalogue {

char32_t NextCodePoint(std::string_view text, size_t& pos) {
  char32_t value = 0;
  size_t length = DecodeUtf8(text, pos, value);
  if (length == 0) {
    ++pos;
    return kReplacementCharacter;
  }
  pos += length;
  return value;
}

}  // namespace hovra::catalogue
