// Walking UTF-8 text code point by code point; malformed bytes come out as U+FFFD.
#pragma once

#include <cstddef>
#include <string_view>

namespace hovra::catalogue {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point starting at text[pos] and moves `pos` past it. A malformed or
// cut-off sequence yields U+FFFD and moves past its first byte only.
char32_t NextCodePoint(std::string_view text, size_t& pos);

}  // namespace hovra::catalogue
