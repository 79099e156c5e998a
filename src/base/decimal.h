// The protocol's one rule for numbers in text: leading white space skipped, an optional
// sign, then decimal digits up to the first non-digit; no digits gives 0. Values beyond
// the range of int saturate instead of overflowing.
#pragma once

#include <cstddef>

namespace hovra {

// Reads a number from at most `len` bytes starting at `text` (stops early at a NUL).
int ParseDecimal(const char* text, size_t len);

// Reads a number from a NUL-terminated text.
int ParseDecimal(const char* text);

}  // namespace hovra
