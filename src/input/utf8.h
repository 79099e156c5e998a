// Strict UTF-8 to UTF-16 conversion for typed text. Anything that is not well-formed
// UTF-8 (a stray continuation byte, an overlong form, an encoded surrogate, a value above
// U+10FFFF, a byte that can never occur, a sequence cut off by the end) rejects the whole
// text: half-typed text is worse than none.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hovra {

// The UTF-16 units of `text`, characters above U+FFFF as surrogate pairs; nullopt when
// `text` is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

}  // namespace hovra
