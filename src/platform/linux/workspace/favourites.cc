#include "platform/linux/workspace/favourites.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "base/log.h"
#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/workspace/settings_lookup.h"

namespace hovra::platform::linux_desktop {
namespace {

constexpr char kGnomeSchema[] = "org.gnome.shell";
constexpr char kGnomeKey[] = "favorite-apps";

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return config;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

// "applications:vlc.desktop" and "file:///x/vlc.desktop" -> "vlc"; preferred:// kept.
std::string LauncherId(const std::string& launcher) {
  if (launcher.starts_with("preferred://")) return launcher;
  std::string id = launcher;
  if (id.starts_with("applications:")) id = id.substr(13);
  size_t slash = id.rfind('/');
  if (slash != std::string::npos) id = id.substr(slash + 1);
  return WithoutDesktopSuffix(id);
}

void OnSettingChanged(GSettings*, gchar*, gpointer self) {
  static_cast<DesktopFavourites*>(self)->NotifyChanged();
}

void OnFileChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer self) {
  if (event == G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT || event == G_FILE_MONITOR_EVENT_CREATED ||
      event == G_FILE_MONITOR_EVENT_DELETED || event == G_FILE_MONITOR_EVENT_RENAMED ||
      event == G_FILE_MONITOR_EVENT_MOVED_IN)
    static_cast<DesktopFavourites*>(self)->NotifyChanged();
}

}  // namespace

FavouritesKind FavouritesKindOf(std::string_view currentDesktop) {
  // XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
  std::stringstream names{std::string(currentDesktop)};
  std::string name;
  while (std::getline(names, name, ':')) {
    if (name == "GNOME") return FavouritesKind::kGnome;
    if (name == "KDE") return FavouritesKind::kPlasma;
  }
  return FavouritesKind::kNone;
}

std::vector<std::string> PlasmaLaunchers(std::string_view appletsrc) {
  // Group headers look like "[Containments][2][Applets][5]"; the applet's settings are in
  // "[Containments][2][Applets][5][Configuration][General]".
  std::map<std::string, std::string> plugins, launchers;
  std::vector<std::string> order;
  std::stringstream lines{std::string(appletsrc)};
  std::string line, group;
  while (std::getline(lines, line)) {
    line = Trimmed(line);
    if (line.starts_with('[') && line.ends_with(']')) {
      group = line;
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = Trimmed(line.substr(0, equals)), value = Trimmed(line.substr(equals + 1));
    if (key == "plugin") {
      plugins[group] = value;
      order.push_back(group);
    } else if (key == "launchers") {
      launchers[group] = value;
    }
  }
  for (const std::string& applet : order) {
    const std::string& plugin = plugins[applet];
    if (plugin != "org.kde.plasma.taskmanager" && plugin != "org.kde.plasma.icontasks") continue;
    std::vector<std::string> ids;
    std::stringstream list{launchers[applet + "[Configuration][General]"]};
    std::string launcher;
    while (std::getline(list, launcher, ',')) {
      if (!launcher.empty()) ids.push_back(LauncherId(launcher));
    }
    return ids;
  }
  return {};
}

DesktopFavourites::DesktopFavourites(FavouritesKind kind, std::function<void()> changed)
    : kind_(kind), changed_(std::move(changed)) {
  if (kind_ == FavouritesKind::kGnome) {
    settings_ = SettingsIfInstalled(kGnomeSchema, kGnomeKey);
    if (!settings_) {
      Log("dock: GNOME's \"%s\" setting is not installed; the Dock lists no favourites",
          kGnomeSchema);
      return;
    }
    handler_ = g_signal_connect(settings_.get(), "changed::favorite-apps",
                                G_CALLBACK(OnSettingChanged), this);
  } else if (kind_ == FavouritesKind::kPlasma) {
    appletsrcPath_ = ConfigHome() + "/plasma-org.kde.plasma.desktop-appletsrc";
    GOwned<GFile> file(g_file_new_for_path(appletsrcPath_.c_str()));
    monitor_.reset(g_file_monitor_file(file.get(), G_FILE_MONITOR_NONE, nullptr, nullptr));
    if (monitor_)
      handler_ = g_signal_connect(monitor_.get(), "changed", G_CALLBACK(OnFileChanged), this);
  }
}

DesktopFavourites::~DesktopFavourites() {
  if (settings_ && handler_ != 0) g_signal_handler_disconnect(settings_.get(), handler_);
  if (monitor_ && handler_ != 0) g_signal_handler_disconnect(monitor_.get(), handler_);
}

std::vector<std::string> DesktopFavourites::Ids() {
  std::vector<std::string> ids;
  if (settings_) {
    char** values = g_settings_get_strv(settings_.get(), kGnomeKey);
    for (char** it = values; it != nullptr && *it != nullptr; ++it)
      ids.push_back(WithoutDesktopSuffix(*it));
    g_strfreev(values);
  } else if (!appletsrcPath_.empty()) {
    std::ifstream in(appletsrcPath_);
    std::stringstream text;
    text << in.rdbuf();
    ids = PlasmaLaunchers(text.str());
  }
  return ids;
}

}  // namespace hovra::platform::linux_desktop
