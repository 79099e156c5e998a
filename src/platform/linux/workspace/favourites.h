// The applications a desktop keeps in its dock or task bar, followed while they change:
// GNOME Shell's "favorite-apps" setting, KDE Plasma's task-manager launchers. Other
// desktops keep none that can be read.
//   DesktopFavourites favourites(FavouritesKind::FromDesktop(getenv("XDG_CURRENT_DESKTOP")),
//                                [] { /* on the main context */ });
//   favourites.Ids();   // {"org.gnome.Nautilus", "firefox-esr", "preferred://browser"}
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/apps/g_owned.h"

namespace hovra::platform::linux_desktop {

enum class FavouritesKind { kNone, kGnome, kPlasma };
FavouritesKind FavouritesKindOf(std::string_view currentDesktop);

inline constexpr std::string_view kPreferredFileManager = "preferred://filemanager";
inline constexpr std::string_view kPreferredBrowser = "preferred://browser";

// Plasma's launcher list from the text of plasma-org.kde.plasma.desktop-appletsrc: the
// first task manager's launchers as desktop ids, or the two "preferred://" names.
std::vector<std::string> PlasmaLaunchers(std::string_view appletsrc);

class DesktopFavourites {
 public:
  // `changed` runs in the calling thread's main context after the list changed.
  DesktopFavourites(FavouritesKind kind, std::function<void()> changed);
  ~DesktopFavourites();
  DesktopFavourites(const DesktopFavourites&) = delete;
  DesktopFavourites& operator=(const DesktopFavourites&) = delete;

  FavouritesKind Kind() const { return kind_; }
  // Desktop ids without ".desktop", in the desktop's order (and the "preferred://" names).
  std::vector<std::string> Ids();

  void NotifyChanged() {
    if (changed_) changed_();
  }

 private:
  FavouritesKind kind_;
  std::function<void()> changed_;
  GOwned<GSettings> settings_;    // GNOME
  GOwned<GFileMonitor> monitor_;  // Plasma
  std::string appletsrcPath_;     // Plasma
  gulong handler_ = 0;
};

}  // namespace hovra::platform::linux_desktop
