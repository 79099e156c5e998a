// The browser actions that address Safari and Google Chrome by script.
#include <string>

#include "actions/installed.h"
#include "actions/system_actions.h"
#include "actions/system_scripts.h"
#include "actions/url_policy.h"
#include "base/log.h"
#include "catalogue/script_quoting.h"

namespace hovra::actions {
namespace {

// A control byte (a tab, an escape, a NUL cannot occur) inside a string literal is at best
// a broken address and at worst a way to reshape the script, so such an address is
// refused outright rather than guessed at.
bool HoldsControlByte(std::string_view url) {
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

std::string FillAddress(std::string_view format, std::string_view escapedUrl) {
  std::string source(format);
  const size_t at = source.find("%s");
  if (at != std::string::npos) source.replace(at, 2, escapedUrl);
  return source;
}

void RunWithAddress(std::string_view bundleId, const platform::ScriptText& format,
                    std::string_view url, std::string_view escapedUrl) {
  if (!IsInstalled(bundleId)) return;
  const std::string source = FillAddress(format.source, escapedUrl);
  platform::GetScripts().Run(platform::Script(format.name, source, url));
}

LogOnce s_refusedUrl;

}  // namespace

void BrowserFavorite() {
  RunIfInstalled(kSafariBundleId, scripts::kBrowserFavoriteSafari);
  RunIfInstalled(kChromeBundleId, scripts::kBrowserFavoriteChrome);
}

void BrowserNewURL(const unsigned char* url) {
  if (url == nullptr) return;
  const std::string_view text(reinterpret_cast<const char*>(url));
  if (HoldsControlByte(text)) {
    if (s_refusedUrl.First())
      Log("browser openurl: refused an address of %zu bytes holding a control byte; "
          "nothing was opened (logged once until an address is accepted)",
          text.size());
    return;
  }
  s_refusedUrl.Rearm();
  if (!AllowWebAddress(text, "browser openurl")) return;
  // Escaped before substitution: a quote or backslash in the address cannot end the
  // string literal. Other bytes, UTF-8 included, go in as they came.
  const std::string escaped = catalogue::QuoteForScriptString(text);
  RunWithAddress(kSafariBundleId, scripts::kBrowserNewURLSafari, text, escaped);
  RunWithAddress(kChromeBundleId, scripts::kBrowserNewURLChrome, text, escaped);
}

}  // namespace hovra::actions
