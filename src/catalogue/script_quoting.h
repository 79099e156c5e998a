// Client text placed inside a script's double-quoted string literal. Backslash and double
// quote are escaped, so the text can neither end the literal nor change its meaning.
#pragma once

#include <string>
#include <string_view>

namespace hovra::catalogue {

std::string QuoteForScriptString(std::string_view text);

// `source` with its one "%@" replaced by the quoted `text`.
std::string SubstituteQuoted(std::string_view source, std::string_view text);

}  // namespace hovra::catalogue
