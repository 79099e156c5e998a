#include "input/utf8.h"

#include "base/utf8.h"

namespace hovra {

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t value = 0;
    size_t length = DecodeUtf8(text, pos, value);
    if (length == 0) return std::nullopt;  // half-typed text is worse than none
    AppendUtf16(value, out);
    pos += length;
  }
  return out;
}

}  // namespace hovra
