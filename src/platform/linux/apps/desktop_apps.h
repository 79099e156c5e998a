// LinuxApps over GIO: launching desktop entries with startup notification, opening
// addresses and files with their default handlers (GIO goes through the OpenURI portal
// by itself inside a sandbox), and the installed check through the known-apps table.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/linux_apps.h"

namespace hovra::platform::linux_desktop {

class DesktopApps : public LinuxApps {
 public:
  struct Hooks {
    std::function<std::string()> frontmost;  // the active window's application id
    std::function<uint32_t()> serverTime;    // the window system's current time, 0 unknown
  };
  DesktopApps(DesktopEntries& entries, Hooks hooks) : entries_(entries), hooks_(std::move(hooks)) {}

  std::string FrontmostAppId() override;
  std::optional<std::string> InstalledAppFor(std::string_view bundleId) override;
  bool Launch(std::string_view appId) override;
  bool OpenUri(std::string_view uri) override;
  bool OpenFile(std::string_view path) override;
  // Opens the address with that application rather than the default one.
  bool OpenUriWith(std::string_view appId, std::string_view uri);

 private:
  bool LaunchEntry(std::string_view appId, GList* uris);
  uint32_t ServerTime() const { return hooks_.serverTime ? hooks_.serverTime() : 0; }

  DesktopEntries& entries_;
  Hooks hooks_;
};

}  // namespace hovra::platform::linux_desktop
