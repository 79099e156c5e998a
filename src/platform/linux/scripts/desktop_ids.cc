#include "platform/linux/scripts/desktop_ids.h"

#include <gio/gio.h>

#include <algorithm>
#include <cctype>

namespace hovra::platform::linux_desktop {
namespace {

constexpr std::string_view kDesktopSuffix = ".desktop";

std::string_view WithoutSuffix(std::string_view id) {
  if (id.ends_with(kDesktopSuffix)) id.remove_suffix(kDesktopSuffix.size());
  return id;
}

}  // namespace

bool SameId(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<std::string> DesktopIdForName(std::string_view name) {
  std::optional<std::string> found;
  GList* all = g_app_info_get_all();
  for (GList* item = all; item != nullptr && !found; item = item->next) {
    auto* info = static_cast<GAppInfo*>(item->data);
    const char* id = g_app_info_get_id(info);
    if (id == nullptr) continue;
    const char* shown = g_app_info_get_name(info);
    if ((shown != nullptr && name == shown) || SameId(WithoutSuffix(id), name)) {
      found = std::string(WithoutSuffix(id));
    }
  }
  g_list_free_full(all, g_object_unref);
  return found;
}

std::vector<std::string> KnownLinuxIds(std::string_view bundleId) {
  if (bundleId == "org.videolan.vlc") return {"vlc", "org.videolan.VLC"};
  if (bundleId == "com.spotify.client") return {"spotify", "com.spotify.Client"};
  return {};  // no Linux build: the workspace's table may name a stand-in
}

std::vector<std::string> ImpressIds() {
  return {"libreoffice-impress", "org.libreoffice.LibreOffice.impress"};
}

}  // namespace hovra::platform::linux_desktop
