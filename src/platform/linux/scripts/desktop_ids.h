// Desktop ids (desktop-file names without ".desktop") of the applications the actions
// name: by the name an application is shown under (the Dock's launch script carries the
// name), and the ids Linux builds of the known players and presentation programs use.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::linux_desktop {

// The installed application shown under `name` (its desktop entry's Name), or whose
// desktop id is `name`; none when no entry matches.
std::optional<std::string> DesktopIdForName(std::string_view name);

// The ids the Linux builds of an application known by its macOS bundle identifier go by,
// native and Flatpak ("org.videolan.vlc" -> "vlc", "org.videolan.VLC").
std::vector<std::string> KnownLinuxIds(std::string_view bundleId);

// The ids LibreOffice Impress goes by.
std::vector<std::string> ImpressIds();

bool SameId(std::string_view a, std::string_view b);  // desktop ids compare without case

}  // namespace hovra::platform::linux_desktop
