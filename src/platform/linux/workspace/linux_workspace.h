// The workspace of a Linux session: desktop entries stand for applications (an entry's
// id is the bundle identifier on the wire and its file the installed path), the
// desktop's favourites make the Dock (the default file manager first, where Finder
// would be), windows make the running and frontmost applications, icon themes give the
// icons. Opened addresses are recorded by the journal's workspace and then opened; folder
// listings and property lists are the journal's (the real files).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/linux/apps/desktop_apps.h"
#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/icons/icon_theme.h"
#include "platform/linux/window_tracker.h"
#include "platform/linux/workspace/favourites.h"
#include "platform/linux/workspace/running_apps.h"
#include "platform/workspace.h"

namespace hovra::platform::linux_desktop {

inline constexpr int kIconLookupPixels = 128;  // the size the catalogue sends

class LinuxWorkspace : public Workspace {
 public:
  // Call on the main thread: changes are followed in its main context. `windows` may be
  // null (no window tracking in this session); it must outlive this workspace.
  LinuxWorkspace(Workspace& recorder, DesktopEntries& entries, DesktopApps& apps,
                 WindowTracker* windows, FavouritesKind favourites);
  ~LinuxWorkspace() override;

  std::string AbsolutePathForAppBundle(std::string_view bundleId) override;
  std::vector<RunningApp> RunningApplications() override;
  void SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) override;
  std::vector<ImageRepresentation> IconForFile(std::string_view path) override;
  void OpenURL(std::string_view url) override;
  std::optional<std::string> ReadPropertyList(std::string_view path) override {
    return recorder_.ReadPropertyList(path);
  }
  std::string DockPropertyListPath() override { return {}; }
  std::optional<std::vector<DockItem>> DockItems() override;
  std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view path) override {
    return recorder_.ListDirectory(path);
  }

  std::string FrontmostAppId();
  // The application a Dock or running entry's label names (the entry's name).
  std::optional<std::string> AppIdForLabel(std::string_view label);
  // Delivers a notice to the handler (main thread).
  void Deliver(const WorkspaceEvent& event);

 private:
  void OnWindows(const WindowSnapshot& snapshot);
  std::string IconThemeName();  // main thread

  Workspace& recorder_;
  DesktopEntries& entries_;
  DesktopApps& apps_;
  WindowTracker* windows_;
  std::unique_ptr<DesktopFavourites> favourites_;
  IconThemes icons_;
  static constexpr std::chrono::seconds kThemeNameLifetime{10};
  std::string themeName_;
  std::chrono::steady_clock::time_point themeRead_;
  std::mutex mutex_;  // model_ and handler_: read from the worker thread too
  RunningAppsModel model_;
  std::function<void(const WorkspaceEvent&)> handler_;
};

}  // namespace hovra::platform::linux_desktop
