#include "app/version_compare.h"

#include <cstdint>
#include <string>

namespace hovra::app {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One code point from UTF-8; a malformed sequence gives U+FFFD and consumes one byte.
char32_t DecodeOne(std::string_view text, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  size_t extra = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
  if (extra == 0 || i + extra >= text.size()) {
    ++i;
    return kReplacement;
  }
  char32_t cp = lead & (0x3Fu >> extra);
  for (size_t k = 1; k <= extra; ++k) {
    unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (next & 0x3Fu);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = DecodeOne(text, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

// Compares the digit runs starting at `i` and `j` by value and moves past them. Leading
// zeros are dropped, so any length of run compares exactly, without overflow.
int CompareDigitRuns(const std::u16string& a, size_t& i, const std::u16string& b, size_t& j) {
  auto run = [](const std::u16string& s, size_t& pos) {
    while (pos < s.size() && s[pos] == u'0') ++pos;
    size_t start = pos;
    while (pos < s.size() && IsDigit(s[pos])) ++pos;
    return std::u16string_view(s).substr(start, pos - start);
  };
  std::u16string_view left = run(a, i);
  std::u16string_view right = run(b, j);
  if (left.size() != right.size()) return left.size() < right.size() ? -1 : 1;
  int order = left.compare(right);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

VersionOrder CompareVersions(std::string_view left, std::string_view right) {
  std::u16string a = ToUtf16(left);
  std::u16string b = ToUtf16(right);
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    int order = 0;
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      order = CompareDigitRuns(a, i, b, j);
    } else if (a[i] != b[j]) {
      order = a[i] < b[j] ? -1 : 1;
    } else {
      ++i;
      ++j;
    }
    if (order != 0) return static_cast<VersionOrder>(order);
  }
  if (i < a.size()) return VersionOrder::kDescending;
  if (j < b.size()) return VersionOrder::kAscending;
  return VersionOrder::kSame;
}

}  // namespace hovra::app
