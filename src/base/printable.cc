#include "base/printable.h"

#include <cstdio>

#include "base/utf8.h"

namespace hovra {
namespace {

constexpr std::string_view kCutMark = "...";

// Characters a terminal or a text view acts on rather than shows: controls, and the
// invisible ones that reorder or break what follows them.
bool ActsOnDisplay(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendByteEscape(std::string& out, unsigned char byte) {
  char text[5];
  std::snprintf(text, sizeof text, "\\x%02x", byte);
  out += text;
}

void AppendCharacterEscape(std::string& out, char32_t c) {
  if (c < 0x80) {
    AppendByteEscape(out, static_cast<unsigned char>(c));
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(c));
  out += text;
}

}  // namespace

std::string Printable(std::string_view text, size_t limit) {
  std::string out;
  out.reserve(text.size() < limit ? text.size() : limit);
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c = 0;
    size_t length = DecodeUtf8(text, pos, c);
    if (pos + (length == 0 ? 1 : length) > limit) break;
    if (length == 0) {
      AppendByteEscape(out, static_cast<unsigned char>(text[pos]));
      ++pos;
      continue;
    }
    if (ActsOnDisplay(c)) {
      AppendCharacterEscape(out, c);
    } else {
      out.append(text.substr(pos, length));
    }
    pos += length;
  }
  if (pos < text.size()) out += kCutMark;
  return out;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace hovra
