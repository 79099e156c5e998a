// The workspace: installed and running applications, their notifications and icons,
// opening URLs, property lists and folder listings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform {

inline constexpr int kActivationPolicyRegular = 0;  // the application shows in the Dock

struct RunningApp {
  std::string bundleId;  // empty when the application has none
  std::string name;      // localised name
  int policy = kActivationPolicyRegular;
};

// kDockChanged: the Dock's applications changed (a desktop whose favourites can be
// followed says so; the catalogue rebuilds).
enum class WorkspaceEventKind {
  kLaunched,
  kTerminated,
  kActivated,
  kDeactivated,
  kWoke,
  kDockChanged
};

struct WorkspaceEvent {
  WorkspaceEventKind kind = WorkspaceEventKind::kLaunched;
  std::optional<RunningApp> app;  // absent for a wake, or when the notice carried none
};

// One representation of an icon image: its pixel size and RGBA pixels, row by row.
struct ImageRepresentation {
  int pixelsWide = 0;
  int pixelsHigh = 0;
  std::vector<uint8_t> rgba;
};

// One application of the Dock; either member may be missing.
struct DockItem {
  std::optional<std::string> label;
  std::optional<std::string> bundleId;
};

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;  // links followed; a dangling link is not a directory
};

class Workspace {
 public:
  virtual ~Workspace() = default;

  // Where the application is installed; empty when it is not.
  virtual std::string AbsolutePathForAppBundle(std::string_view bundleId) = 0;
  virtual std::vector<RunningApp> RunningApplications() = 0;
  // Receives the five notifications on the main thread; an empty function unsubscribes.
  virtual void SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) = 0;
  virtual std::vector<ImageRepresentation> IconForFile(std::string_view path) = 0;
  virtual void OpenURL(std::string_view url) = 0;
  // The bytes of a property list file (binary or XML), or nothing when it cannot be read.
  virtual std::optional<std::string> ReadPropertyList(std::string_view path) = 0;
  // Where the Dock keeps its preferences (the property list with "persistent-apps").
  virtual std::string DockPropertyListPath() = 0;
  // The Dock's applications when this workspace keeps them itself (a desktop's
  // favourites), in Dock order; nothing when they are in the property list above.
  virtual std::optional<std::vector<DockItem>> DockItems() { return std::nullopt; }
  // One level of a folder, in the order the file system gives; nothing when unreadable.
  virtual std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view path) = 0;
};

}  // namespace hovra::platform
