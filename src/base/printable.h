// Text that came from outside the program (a client's line, an application's name, a
// server's answer) made safe to show in one log line, terminal line or notice:
//   Log("notice link refused: %s", Printable(url).c_str());
// Control characters (C0, DEL, C1), line and paragraph separators, bidirectional overrides
// and bytes that are not UTF-8 are written as text ("\x1b", "\u202e"), never sent as they
// are; the text is cut to a named length at a character boundary, "..." marking the cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hovra {

// What one log line carries of a text from outside, in bytes of the original text.
inline constexpr size_t kLoggedTextBytes = 200;

std::string Printable(std::string_view text, size_t limit = kLoggedTextBytes);

// True when `text` holds a carriage return or a line feed: such a text would end a reply
// line early and let whoever chose it write a line of their own.
bool HasLineBreak(std::string_view text);

}  // namespace hovra
