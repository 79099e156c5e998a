#include "actions/url_policy.h"

#include <cctype>
#include <memory>

#include "base/log.h"
#include "base/printable.h"
#include "base/rate_limit.h"

namespace hovra::actions {
namespace {

constexpr double kRefusalLinesPerSecond = 1;
constexpr double kRefusalLineBurst = 5;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::unique_ptr<LineRateLimiter>& RefusalLines() {
  static auto s_lines =
      std::make_unique<LineRateLimiter>(kRefusalLinesPerSecond, kRefusalLineBurst);
  return s_lines;
}

}  // namespace

void ResetRefusalLogForTesting() {
  RefusalLines() = std::make_unique<LineRateLimiter>(kRefusalLinesPerSecond, kRefusalLineBurst);
}

bool IsWebAddress(std::string_view url) {
  for (char c : url) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;  // never in an address
  }
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (StartsWithNoCase(url, scheme) && url.size() > scheme.size()) return true;
  }
  return false;
}

bool AllowWebAddress(std::string_view url, const char* what) {
  if (IsWebAddress(url)) return true;
  uint64_t held = 0;
  if (RefusalLines()->Allow(held)) {
    Log("%s: refused \"%s\": only http and https addresses are opened%s", what,
        Printable(url).c_str(),
        held > 0 ? (" (" + std::to_string(held) + " more refusals not logged)").c_str() : "");
  }
  return false;
}

}  // namespace hovra::actions
