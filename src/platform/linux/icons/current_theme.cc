#include "platform/linux/icons/current_theme.h"

#include <glib.h>

#include <cstdlib>

#include "platform/linux/workspace/settings_lookup.h"

namespace hovra::platform::linux_desktop {
namespace {

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return config;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

std::string KeyFileString(const std::string& path, const char* group, const char* key) {
  GKeyFile* file = g_key_file_new();
  std::string value;
  if (g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
    char* text = g_key_file_get_string(file, group, key, nullptr);
    if (text != nullptr) value = text;
    g_free(text);
  }
  g_key_file_free(file);
  return value;
}

bool OnPlasma() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return desktop != nullptr && std::string(desktop).find("KDE") != std::string::npos;
}

}  // namespace

std::string CurrentIconThemeName() {
  const std::string kde = KeyFileString(ConfigHome() + "/kdeglobals", "Icons", "Theme");
  if (OnPlasma() && !kde.empty()) return kde;
  std::string name = InstalledSettingString("org.gnome.desktop.interface", "icon-theme");
  if (name.empty())
    name = KeyFileString(ConfigHome() + "/gtk-3.0/settings.ini", "Settings", "gtk-icon-theme-name");
  if (name.empty()) name = kde;
  return name.empty() ? "hicolor" : name;
}

}  // namespace hovra::platform::linux_desktop
