// What the Linux desktop's script side asks of its application side: the frontmost
// application, launching entries and opening addresses and files with their default
// handlers. Identifiers are desktop-file ids without ".desktop" ("org.gnome.Nautilus").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hovra::platform::linux_desktop {

class LinuxApps {
 public:
  virtual ~LinuxApps() = default;
  // The application of the active window; empty when unknown (no window tracking here).
  virtual std::string FrontmostAppId() = 0;
  // The desktop id that stands for an application the actions know by its macOS bundle
  // identifier ("org.videolan.vlc" -> "vlc" or "org.videolan.VLC"), when one is installed.
  virtual std::optional<std::string> InstalledAppFor(std::string_view bundleId) = 0;
  // Each returns false, after logging why, when nothing could be started.
  virtual bool Launch(std::string_view appId) = 0;   // with startup notification
  virtual bool OpenUri(std::string_view uri) = 0;    // default handler; the portal in a sandbox
  virtual bool OpenFile(std::string_view path) = 0;  // default application for the file
};

}  // namespace hovra::platform::linux_desktop
