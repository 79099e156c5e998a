// The application catalogue: the Dock's applications and the running regular ones as one
// list, kept current by workspace notifications, served as the Dock description, as icon
// messages and as the targets of the launch command. One process-wide instance, used on
// the main thread only (other threads hop there through the main queue).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/app_entry.h"
#include "platform/script_services.h"
#include "platform/workspace.h"

namespace hovra::catalogue {

inline constexpr size_t kIconBufferBytes = 524288;  // the icon reply buffer, NUL included
inline constexpr const char* kFinderBundleId = "com.apple.finder";

// Clicks the Dock item of that name, which starts the application or brings it forward.
inline constexpr std::string_view kDockLaunchScriptName = "LaunchApp.Dock";
inline constexpr std::string_view kDockLaunchScriptSource =
    "tell application \"System Events\"\ntell process \"Dock\"\nclick UI element \"%@\" of list 1\n"
    "end tell\nend tell";
std::string DockLaunchScriptSource(std::string_view name);
void RunDockLaunchScript(std::string_view name);

// Told on the main thread when applications come and go.
class DockInfoListenerDelegate {
 public:
  virtual ~DockInfoListenerDelegate() = default;
  virtual void onApplicationTerminated() = 0;
  virtual void onApplicationLaunch(const std::string& bundleId) = 0;
};

class SysUtil {
 public:
  static SysUtil& sharedInstance();
  // Tests start from an empty catalogue; the platform is not touched.
  static void ResetSharedInstanceForTesting();

  // Builds the list from the Dock and the running applications when there is none yet.
  const std::optional<std::vector<AppEntry>>& getDockInfo();
  std::optional<std::string> getDockInfoStr();
  void dockInfoToString();
  AppEntry* findAppInfoInDockInfo(std::string_view bundleId);  // never builds the list

  // Writes the NUL-terminated icon message into `dst` (kIconBufferBytes long).
  bool getIconMsg(char* dst, const std::string& bundleId);
  // Looks the name up and runs the Dock script here; other threads use actions::LauchApp,
  // which looks up on the main thread and runs the script on the caller.
  void launchApp(const std::string& bundleId);

  std::vector<AppEntry> getRunningAppOnDock();
  static std::optional<AppEntry> makeInfoFromApp(const platform::RunningApp& app);
  bool addLaunchedAppInfo(const AppEntry& entry);
  bool removeLaunchedAppInfoWithBundleId(std::string_view bundleId);
  bool removeLaunchedAppInfo(const AppEntry& entry);

  void startMonitorDockInfo(DockInfoListenerDelegate* delegate);
  void stopMonitorDockInfo();
  void refreshDockInfo();
  static std::string UUIDString();

  void appLaunched(const platform::WorkspaceEvent& event);
  void appTerminated(const platform::WorkspaceEvent& event);
  void appActivated(const platform::WorkspaceEvent& event);
  void appDeactivated(const platform::WorkspaceEvent& event);
  void systemWake(const platform::WorkspaceEvent& event);
  void checkApp(const std::string& bundleId);

 private:
  SysUtil() = default;
  void OnWorkspaceEvent(const platform::WorkspaceEvent& event);
  void TellTerminated();
  void TellLaunched(const std::string& bundleId);

  bool monitorDock_ = false;
  std::optional<std::vector<AppEntry>> dockApps_;
  std::optional<std::string> dockAppStr_;
  DockInfoListenerDelegate* dockDelegate_ = nullptr;
};

}  // namespace hovra::catalogue
