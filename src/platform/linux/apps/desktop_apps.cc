#include "platform/linux/apps/desktop_apps.h"

#include <gio/gdesktopappinfo.h>

#include "base/log.h"
#include "platform/linux/apps/g_owned.h"
#include "platform/linux/apps/known_apps.h"
#include "platform/linux/apps/launch_context.h"

namespace hovra::platform::linux_desktop {

std::string DesktopApps::FrontmostAppId() { return hooks_.frontmost ? hooks_.frontmost() : ""; }

std::optional<std::string> DesktopApps::InstalledAppFor(std::string_view bundleId) {
  std::optional<DesktopEntry> entry = InstalledKnownApp(bundleId, entries_);
  if (!entry) return std::nullopt;
  return entry->id;
}

bool DesktopApps::Launch(std::string_view appId) { return LaunchEntry(appId, nullptr); }

bool DesktopApps::OpenUriWith(std::string_view appId, std::string_view uri) {
  std::string text(uri);
  GList uris{};
  uris.data = text.data();
  return LaunchEntry(appId, &uris);
}

bool DesktopApps::LaunchEntry(std::string_view appId, GList* uris) {
  std::string file = WithoutDesktopSuffix(appId) + ".desktop";
  GOwned<GDesktopAppInfo> info(g_desktop_app_info_new(file.c_str()));
  if (!info) {
    Log("launch: no desktop entry %s", file.c_str());
    return false;
  }
  GOwned<GAppLaunchContext> context(NewStartupLaunchContext(ServerTime()));
  GError* raw = nullptr;
  bool launched = g_app_info_launch_uris(G_APP_INFO(info.get()), uris, context.get(), &raw);
  GErrorOwned error(raw);
  if (!launched) Log("launch: %s did not start: %s", file.c_str(), error ? error->message : "?");
  return launched;
}

bool DesktopApps::OpenUri(std::string_view uri) {
  std::string text(uri);
  GOwned<GAppLaunchContext> context(NewStartupLaunchContext(ServerTime()));
  GError* raw = nullptr;
  bool opened = g_app_info_launch_default_for_uri(text.c_str(), context.get(), &raw);
  GErrorOwned error(raw);
  if (!opened) {
    Log("open: no application opened an address of %zu bytes: %s", text.size(),
        error ? error->message : "?");
  }
  return opened;
}

bool DesktopApps::OpenFile(std::string_view path) {
  std::string text(path);
  GOwned<GFile> file(g_file_new_for_path(text.c_str()));
  std::string uri = TakeText(g_file_get_uri(file.get()));
  if (!g_file_query_exists(file.get(), nullptr)) {
    Log("open: \"%s\" does not exist", text.c_str());
    return false;
  }
  return OpenUri(uri);
}

}  // namespace hovra::platform::linux_desktop
