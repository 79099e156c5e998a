// The applications the actions know by their macOS bundle identifiers, and the Linux
// desktop entries that stand for them: native ids first, then Flatpak ids. Finder is the
// default file manager and Safari the default web browser, whatever they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/apps/desktop_entries.h"

namespace hovra::platform::linux_desktop {

// What stands for `bundleId` on Linux, in order of preference; empty for an identifier
// the table does not know.
struct KnownApp {
  std::string_view bundleId;
  std::vector<std::string_view> desktopIds;
  const char* defaultForType = nullptr;    // the default handler of this content type...
  const char* defaultForScheme = nullptr;  // ... or of this address scheme, before the ids
};
const std::vector<KnownApp>& KnownApps();

// The installed entry that stands for a bundle identifier the table knows; nothing when
// none is installed or the table does not know it.
std::optional<DesktopEntry> InstalledKnownApp(std::string_view bundleId, DesktopEntries& entries);

}  // namespace hovra::platform::linux_desktop
