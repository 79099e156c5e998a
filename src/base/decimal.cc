#include "base/decimal.h"

#include <climits>
#include <cstring>

namespace hovra {

int ParseDecimal(const char* text, size_t len) {
  size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < len && text[i] != '\0' && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < len && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int ParseDecimal(const char* text) { return ParseDecimal(text, std::strlen(text)); }

}  // namespace hovra
