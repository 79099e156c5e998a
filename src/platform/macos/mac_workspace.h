// The workspace on NSWorkspace: installed and running applications, the five workspace
// notifications turned into the catalogue's events, icons with straight alpha, URLs; the
// Dock's property list and folders are read from the file system directly.
//   MacWorkspace workspace(workspaceCalls, host.HomeDirectory());
#pragma once

#include <string>

#include "base/log.h"
#include "platform/macos/workspace_calls.h"
#include "platform/workspace.h"

namespace hovra::platform::macos {

// The notifications observed, in the order they are registered, with what each becomes.
struct WorkspaceNotification {
  const char* name;
  WorkspaceEventKind kind;
};
inline constexpr WorkspaceNotification kWorkspaceNotifications[] = {
    {"NSWorkspaceDidLaunchApplicationNotification", WorkspaceEventKind::kLaunched},
    {"NSWorkspaceDidTerminateApplicationNotification", WorkspaceEventKind::kTerminated},
    {"NSWorkspaceDidActivateApplicationNotification", WorkspaceEventKind::kActivated},
    {"NSWorkspaceDidDeactivateApplicationNotification", WorkspaceEventKind::kDeactivated},
    {"NSWorkspaceDidWakeNotification", WorkspaceEventKind::kWoke},
};

// A notification as the catalogue takes it; nothing for a name not observed.
std::optional<WorkspaceEvent> ToWorkspaceEvent(std::string_view name, const AppRecord* app);

// Straight-alpha RGBA rows without padding; nothing when the bitmap's sizes do not fit its
// bytes.
std::optional<ImageRepresentation> ToStraightAlpha(const PremultipliedBitmap& bitmap);

class MacWorkspace : public Workspace {
 public:
  MacWorkspace(WorkspaceCalls& calls, std::string homeDirectory)
      : calls_(calls), home_(std::move(homeDirectory)) {}

  std::string AbsolutePathForAppBundle(std::string_view bundleId) override;
  std::vector<RunningApp> RunningApplications() override;
  void SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) override;
  std::vector<ImageRepresentation> IconForFile(std::string_view path) override;
  void OpenURL(std::string_view url) override;
  std::optional<std::string> ReadPropertyList(std::string_view path) override;
  std::string DockPropertyListPath() override;
  std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view path) override;

 private:
  WorkspaceCalls& calls_;
  const std::string home_;
  LogOnce openFailed_;
};

}  // namespace hovra::platform::macos
