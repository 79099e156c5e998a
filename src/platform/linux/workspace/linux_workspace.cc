#include "platform/linux/workspace/linux_workspace.h"

#include <gio/gdesktopappinfo.h>

#include "base/log.h"
#include "platform/linux/apps/known_apps.h"
#include "platform/linux/icons/current_theme.h"
#include "platform/linux/icons/icon_image.h"
#include "platform/linux/workspace/window_apps.h"

namespace hovra::platform::linux_desktop {
namespace {

// The Icon key of a desktop file; empty when it has none.
std::string IconOfDesktopFile(const std::string& path) {
  GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(path.c_str());
  if (info == nullptr) return {};
  std::string icon = TakeText(g_desktop_app_info_get_string(info, "Icon"));
  g_object_unref(info);
  return icon;
}

// Theme names are written with an extension now and then ("vlc.png").
std::string IconName(std::string name) {
  for (const char* extension : {".png", ".svg", ".xpm"}) {
    if (name.ends_with(extension)) name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace

LinuxWorkspace::LinuxWorkspace(Workspace& recorder, DesktopEntries& entries, DesktopApps& apps,
                               WindowTracker* windows, FavouritesKind favourites)
    : recorder_(recorder),
      entries_(entries),
      apps_(apps),
      windows_(windows),
      icons_(IconFolders::FromEnvironment()),
      model_([&entries](const TrackedWindow& window) -> std::optional<AppIdentity> {
        std::optional<DesktopEntry> entry = EntryOfWindow(window, entries);
        if (!entry) return std::nullopt;
        return AppIdentity{entry->id, entry->name};
      }) {
  favourites_ = std::make_unique<DesktopFavourites>(favourites, [this] {
    Deliver(WorkspaceEvent{WorkspaceEventKind::kDockChanged, std::nullopt});
  });
  if (windows_ != nullptr) {
    OnWindows(windows_->Snapshot());  // the picture at start: no one listens yet
    windows_->Start([this](const WindowSnapshot& snapshot) { OnWindows(snapshot); });
  }
}

LinuxWorkspace::~LinuxWorkspace() = default;

std::string LinuxWorkspace::AbsolutePathForAppBundle(std::string_view bundleId) {
  std::optional<DesktopEntry> entry = InstalledKnownApp(bundleId, entries_);
  if (!entry) entry = entries_.Find(bundleId);
  return entry ? entry->path : std::string();
}

std::vector<RunningApp> LinuxWorkspace::RunningApplications() {
  std::lock_guard<std::mutex> lock(mutex_);
  return model_.Running();
}

std::string LinuxWorkspace::FrontmostAppId() {
  std::lock_guard<std::mutex> lock(mutex_);
  return model_.Frontmost();
}

void LinuxWorkspace::SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handler_ = std::move(handler);
}

void LinuxWorkspace::Deliver(const WorkspaceEvent& event) {
  std::function<void(const WorkspaceEvent&)> handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = handler_;
  }
  if (handler) handler(event);
}

void LinuxWorkspace::OnWindows(const WindowSnapshot& snapshot) {
  std::vector<WorkspaceEvent> events;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events = model_.Update(snapshot);
  }
  for (const WorkspaceEvent& event : events) Deliver(event);
}

std::string LinuxWorkspace::IconThemeName() {
  // Read again after a while: the user may pick another theme.
  const auto now = std::chrono::steady_clock::now();
  if (themeName_.empty() || now - themeRead_ > kThemeNameLifetime) {
    themeName_ = CurrentIconThemeName();
    themeRead_ = now;
  }
  return themeName_;
}

std::vector<ImageRepresentation> LinuxWorkspace::IconForFile(std::string_view path) {
  std::optional<DesktopEntry> entry = entries_.FindByPath(path);
  std::string icon = entry ? entry->icon : IconOfDesktopFile(std::string(path));
  std::optional<std::string> file;
  if (icon.starts_with('/')) {
    file = icon;
  } else if (!icon.empty()) {
    file = icons_.Find(IconName(icon), kIconLookupPixels, IconThemeName());
  }
  if (!file) {
    static LogOnce s_missing;
    if (s_missing.First())
      Log("icons: no icon \"%s\" for \"%.*s\" (logged once)", icon.c_str(),
          static_cast<int>(path.size()), path.data());
    return {};
  }
  std::vector<ImageRepresentation> image;
  if (auto loaded = LoadIconImage(*file, kIconLookupPixels)) image.push_back(std::move(*loaded));
  return image;
}

void LinuxWorkspace::OpenURL(std::string_view url) {
  recorder_.OpenURL(url);
  apps_.OpenUri(url);
}

std::optional<std::vector<DockItem>> LinuxWorkspace::DockItems() {
  std::vector<DockItem> items;
  auto add = [&](const std::string& id) {
    if (id.empty()) return;
    for (const DockItem& item : items) {
      if (item.bundleId == id) return;  // the file manager stays first, once
    }
    if (std::optional<DesktopEntry> entry = entries_.Find(id))
      items.push_back(DockItem{entry->name, entry->id});
  };
  const std::string fileManager = entries_.DefaultForType("inode/directory");
  add(fileManager);
  for (const std::string& id : favourites_->Ids()) {
    if (id == kPreferredFileManager) {
      add(fileManager);
    } else if (id == kPreferredBrowser) {
      add(entries_.DefaultForScheme("https"));
    } else {
      add(id);
    }
  }
  return items;
}

std::optional<std::string> LinuxWorkspace::AppIdForLabel(std::string_view label) {
  const std::optional<std::vector<DockItem>> dock = DockItems();
  for (const DockItem& item : *dock) {
    if (item.label == label) return item.bundleId;
  }
  for (const RunningApp& app : RunningApplications()) {
    if (app.name == label) return app.bundleId;
  }
  std::optional<DesktopEntry> entry = entries_.FindByName(label);
  if (!entry) return std::nullopt;
  return entry->id;
}

}  // namespace hovra::platform::linux_desktop
