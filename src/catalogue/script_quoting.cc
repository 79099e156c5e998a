#include "catalogue/script_quoting.h"

namespace hovra::catalogue {

std::string QuoteForScriptString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

std::string SubstituteQuoted(std::string_view source, std::string_view text) {
  size_t at = source.find("%@");
  if (at == std::string_view::npos) return std::string(source);
  std::string out(source.substr(0, at));
  out += QuoteForScriptString(text);
  out += source.substr(at + 2);
  return out;
}

}  // namespace hovra::catalogue
