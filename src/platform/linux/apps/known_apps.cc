#include "platform/linux/apps/known_apps.h"

namespace hovra::platform::linux_desktop {

const std::vector<KnownApp>& KnownApps() {
  // Where no Linux build exists, the desktop's own application of the same kind stands in
  // (iTunes: a music player; QuickTime Player: a video player; Keynote and PowerPoint:
  // LibreOffice Impress).
  static const std::vector<KnownApp> s_table{
      {"com.apple.finder",
       {"org.gnome.Nautilus", "org.kde.dolphin", "thunar", "nemo", "caja", "pcmanfm"},
       "inode/directory"},
      {"com.apple.Safari",
       {"firefox", "firefox-esr", "org.mozilla.firefox", "org.gnome.Epiphany"},
       nullptr,
       "https"},
      {"com.google.Chrome",
       {"google-chrome", "chromium", "chromium-browser", "com.google.Chrome",
        "org.chromium.Chromium"}},
      {"org.videolan.vlc", {"vlc", "org.videolan.VLC"}},
      {"com.spotify.client", {"spotify", "com.spotify.Client"}},
      {"com.apple.QuickTimePlayerX",
       {"org.gnome.Totem", "org.kde.dragonplayer", "io.github.celluloid_player.Celluloid",
        "parole"}},
      {"org.niltsh.MPlayerX", {"mpv", "io.mpv.Mpv", "smplayer", "info.smplayer.SMPlayer"}},
      {"com.apple.iTunes",
       {"org.gnome.Rhythmbox3", "rhythmbox", "org.kde.elisa", "org.gnome.Lollypop",
        "org.strawberrymusicplayer.strawberry", "audacious"}},
      {"com.apple.iWork.Keynote", {"libreoffice-impress", "org.libreoffice.LibreOffice.impress"}},
      {"com.microsoft.Powerpoint", {"libreoffice-impress", "org.libreoffice.LibreOffice.impress"}},
  };
  return s_table;
}

std::optional<DesktopEntry> InstalledKnownApp(std::string_view bundleId, DesktopEntries& entries) {
  for (const KnownApp& known : KnownApps()) {
    if (known.bundleId != bundleId) continue;
    std::string preferred;
    if (known.defaultForType != nullptr) preferred = entries.DefaultForType(known.defaultForType);
    if (known.defaultForScheme != nullptr)
      preferred = entries.DefaultForScheme(known.defaultForScheme);
    if (!preferred.empty()) {
      if (std::optional<DesktopEntry> entry = entries.Find(preferred)) return entry;
    }
    for (std::string_view id : known.desktopIds) {
      if (std::optional<DesktopEntry> entry = entries.Find(id)) return entry;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace hovra::platform::linux_desktop
