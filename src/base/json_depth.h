// A look at JSON text before it is parsed: how deeply its arrays and objects nest. A
// parsed document is copied and printed recursively, so a file or an answer nested a
// hundred thousand levels deep would exhaust the stack; such text is refused before
// parsing instead.
#pragma once

#include <cstddef>
#include <string_view>

namespace hovra {

// Deeper than anything this program reads or writes on purpose.
inline constexpr size_t kMaxJsonDepth = 64;

// True when no array or object in `text` lies more than `limit` levels deep. Brackets
// inside strings do not count; the text need not be valid JSON (the parser judges that).
bool JsonNestingWithin(std::string_view text, size_t limit = kMaxJsonDepth);

}  // namespace hovra
