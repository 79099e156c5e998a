#include "app/version_compare.h"

#include <cstdint>
#include <string>

#include "base/utf8.h"

namespace hovra::app {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The text's UTF-16 units; a malformed byte stands for U+FFFD, as the platform reads it.
std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = kReplacement;
    size_t length = DecodeUtf8(text, i, cp);
    AppendUtf16(length == 0 ? kReplacement : cp, out);
    i += length == 0 ? 1 : length;
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
