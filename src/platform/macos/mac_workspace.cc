#include "platform/macos/mac_workspace.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace hovra::platform::macos {
namespace {

RunningApp ToRunningApp(const AppRecord& record) {
  return RunningApp{record.bundleIdentifier.value_or(""), record.localizedName,
                    static_cast<int>(record.activationPolicy)};
}

uint8_t Unpremultiply(uint8_t colour, uint8_t alpha) {
  if (alpha == 0) return 0;
  unsigned straight = (colour * 255u + alpha / 2u) / alpha;
  return static_cast<uint8_t>(std::min(straight, 255u));
}

}  // namespace

std::optional<WorkspaceEvent> ToWorkspaceEvent(std::string_view name, const AppRecord* app) {
  for (const WorkspaceNotification& n : kWorkspaceNotifications) {
    if (name != n.name) continue;
    WorkspaceEvent event{n.kind, std::nullopt};
    if (n.kind != WorkspaceEventKind::kWoke && app != nullptr) event.app = ToRunningApp(*app);
    return event;
  }
  return std::nullopt;
}

std::optional<ImageRepresentation> ToStraightAlpha(const PremultipliedBitmap& bitmap) {
  if (bitmap.pixelsWide <= 0 || bitmap.pixelsHigh <= 0) return std::nullopt;
  const size_t width = static_cast<size_t>(bitmap.pixelsWide);
  const size_t height = static_cast<size_t>(bitmap.pixelsHigh);
  if (bitmap.bytesPerRow < width * 4 || bitmap.bytes.size() < bitmap.bytesPerRow * height) {
    return std::nullopt;
  }
  ImageRepresentation image{bitmap.pixelsWide, bitmap.pixelsHigh, {}};
  image.rgba.resize(width * height * 4);
  for (size_t y = 0; y < height; ++y) {
    const uint8_t* from = &bitmap.bytes[y * bitmap.bytesPerRow];
    uint8_t* to = &image.rgba[y * width * 4];
    for (size_t x = 0; x < width * 4; x += 4) {
      const uint8_t alpha = from[x + 3];
      for (size_t c = 0; c < 3; ++c) to[x + c] = Unpremultiply(from[x + c], alpha);
      to[x + 3] = alpha;
    }
  }
  return image;
}

std::string MacWorkspace::AbsolutePathForAppBundle(std::string_view bundleId) {
  if (bundleId.empty()) return {};
  return calls_.PathForApplication(bundleId).value_or("");
}

std::vector<RunningApp> MacWorkspace::RunningApplications() {
  std::vector<RunningApp> apps;
  for (const AppRecord& record : calls_.RunningApplications()) {
    apps.push_back(ToRunningApp(record));
  }
  return apps;
}

void MacWorkspace::SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) {
  if (!handler) {
    calls_.StopObserving();
    return;
  }
  std::vector<std::string> names;
  for (const WorkspaceNotification& n : kWorkspaceNotifications) names.emplace_back(n.name);
  calls_.Observe(names,
                 [handler = std::move(handler)](std::string_view name, const AppRecord* app) {
                   if (std::optional<WorkspaceEvent> event = ToWorkspaceEvent(name, app))
                     handler(*event);
                 });
}

std::vector<ImageRepresentation> MacWorkspace::IconForFile(std::string_view path) {
  std::vector<ImageRepresentation> images;
  for (const PremultipliedBitmap& bitmap : calls_.IconForFile(path)) {
    if (std::optional<ImageRepresentation> image = ToStraightAlpha(bitmap)) {
      images.push_back(std::move(*image));
    }
  }
  return images;
}

void MacWorkspace::OpenURL(std::string_view url) {
  if (calls_.OpenURL(url)) {
    openFailed_.Rearm();
  } else if (openFailed_.First()) {
    Log("cannot open %.*s", static_cast<int>(url.size()), url.data());
  }
}

std::optional<std::string> MacWorkspace::ReadPropertyList(std::string_view path) {
  std::ifstream in{std::string(path), std::ios::binary};
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string MacWorkspace::DockPropertyListPath() {
  return home_ + "/Library/Preferences/com.apple.dock.plist";
}

std::optional<std::vector<DirectoryEntry>> MacWorkspace::ListDirectory(std::string_view path) {
  std::string folder(path);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  while (dirent* d = ::readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    std::string full = folder + (folder.ends_with('/') ? "" : "/") + name;
    bool isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back(DirectoryEntry{std::move(name), isDir});
  }
  ::closedir(dir);
  return entries;
}

}  // namespace hovra::platform::macos
