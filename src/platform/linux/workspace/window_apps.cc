#include "platform/linux/workspace/window_apps.h"

#include <glib.h>

namespace hovra::platform::linux_desktop {

std::string FlatpakAppOfPid(int pid) {
  if (pid <= 0) return {};
  const std::string info = "/proc/" + std::to_string(pid) + "/root/.flatpak-info";
  GKeyFile* file = g_key_file_new();
  std::string name;
  if (g_key_file_load_from_file(file, info.c_str(), G_KEY_FILE_NONE, nullptr)) {
    char* value = g_key_file_get_string(file, "Application", "name", nullptr);
    if (value != nullptr) name = value;
    g_free(value);
  }
  g_key_file_free(file);
  return name;
}

std::optional<DesktopEntry> EntryOfWindow(const TrackedWindow& window, DesktopEntries& entries) {
  if (!window.appId.empty()) {
    if (auto entry = entries.Find(window.appId)) return entry;
  }
  if (std::string flatpak = FlatpakAppOfPid(window.pid); !flatpak.empty()) {
    if (auto entry = entries.Find(flatpak)) return entry;
  }
  if (auto entry = entries.FindByWmClass(window.wmClass)) return entry;
  if (auto entry = entries.FindByWmClass(window.wmInstance)) return entry;
  return entries.FindByExecutable(window.executable);
}

}  // namespace hovra::platform::linux_desktop
