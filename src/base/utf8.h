// Decoding UTF-8 one character at a time, strictly: a stray continuation byte, an
// overlong form, an encoded surrogate, a value above U+10FFFF, a byte that can never
// occur and a sequence cut off by the end are all malformed. Callers decide what a
// malformed sequence means (typed text rejects it, descriptions replace it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hovra {

// The length of the well-formed sequence at text[pos] (1 to 4), storing its value in
// `value`; 0 when the bytes there are malformed.
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& value);

// Appends `value` as UTF-16: one unit, or a surrogate pair above U+FFFF.
void AppendUtf16(char32_t value, std::u16string& out);

}  // namespace hovra
