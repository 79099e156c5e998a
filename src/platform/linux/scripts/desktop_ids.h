// Desktop ids (desktop-file names without ".desktop") that Linux builds of the known
// players and of LibreOffice Impress use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::linux_desktop {

// The ids the Linux builds of an application known by its macOS bundle identifier go by,
// native and Flatpak ("org.videolan.vlc" -> "vlc", "org.videolan.VLC").
std::vector<std::string> KnownLinuxIds(std::string_view bundleId);

// The ids LibreOffice Impress goes by.
std::vector<std::string> ImpressIds();

bool SameId(std::string_view a, std::string_view b);  // desktop ids compare without case

}  // namespace hovra::platform::linux_desktop
