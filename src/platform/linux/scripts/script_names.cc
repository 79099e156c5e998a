#include "platform/linux/scripts/script_names.h"

#include <array>
#include <span>

namespace hovra::platform::linux_desktop {
namespace {

struct Application {
  std::string_view target;
  std::string_view bundleId;
};

constexpr Application kApplications[] = {
    {"iTunes", "com.apple.iTunes"},
    {"VLC", "org.videolan.vlc"},
    {"Spotify", "com.spotify.client"},
    {"QuickTime", "com.apple.QuickTimePlayerX"},
    {"MPlayerX", "org.niltsh.MPlayerX"},
    {"Safari", "com.apple.Safari"},
    {"Chrome", "com.google.Chrome"},
    {"Keynote", "com.apple.iWork.Keynote"},
    {"PowerPoint", "com.microsoft.Powerpoint"},
};

// The order in which the actions offer an operation to its applications.
constexpr std::array<std::string_view, 4> kMediaOrder{"iTunes", "VLC", "Spotify", "QuickTime"};
constexpr std::array<std::string_view, 2> kBrowserOrder{"Safari", "Chrome"};
constexpr std::array<std::string_view, 2> kPresentationOrder{"Keynote", "PowerPoint"};

std::span<const std::string_view> OfferOrder(const ScriptName& name) {
  std::string_view op = name.operation;
  if (op.starts_with("Media")) return kMediaOrder;
  if (op == "BrowserNewURL" || op == "BrowserFavorite") return kBrowserOrder;
  // The indexed presentation commands address one application directly.
  if (op.starts_with("PPT") && name.variant != "Direct") return kPresentationOrder;
  return {};
}

}  // namespace

ScriptName ParseScriptName(std::string_view name) {
  ScriptName parsed;
  size_t dot = name.find('.');
  parsed.operation = name.substr(0, dot);
  if (dot == std::string_view::npos) return parsed;
  std::string_view rest = name.substr(dot + 1);
  size_t second = rest.find('.');
  parsed.target = rest.substr(0, second);
  if (second != std::string_view::npos) parsed.variant = rest.substr(second + 1);
  return parsed;
}

std::string_view BundleIdOf(std::string_view target) {
  for (const Application& app : kApplications) {
    if (app.target == target) return app.bundleId;
  }
  return {};
}

bool CarriesOutItsCommand(const ScriptName& name,
                          const std::function<bool(std::string_view bundleId)>& isInstalled) {
  for (std::string_view earlier : OfferOrder(name)) {
    if (earlier == name.target) return true;
    if (isInstalled(BundleIdOf(earlier))) return false;  // its script ran first and acted
  }
  return true;
}

}  // namespace hovra::platform::linux_desktop
