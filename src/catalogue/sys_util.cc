#include "catalogue/sys_util.h"

#include <cstring>
#include <memory>

#include "base/log.h"
#include "base/printable.h"
#include "catalogue/app_icon.h"
#include "catalogue/base64.h"
#include "catalogue/dock_description.h"
#include "catalogue/dock_plist.h"
#include "catalogue/script_quoting.h"
#include "catalogue/uuid_string.h"
#include "platform/services.h"

namespace hovra::catalogue {
namespace {

std::unique_ptr<SysUtil>& SharedSlot() {
  static std::unique_ptr<SysUtil> s_instance;
  return s_instance;
}

// A name or identifier holding a line break would end a reply line early and let whoever
// named the application write a line of their own ("currentapp", icon messages): such an
// application is left out of the catalogue.
bool BreaksReplyLine(const std::optional<std::string>& name, const std::optional<std::string>& id) {
  if (!HasLineBreak(name.value_or("")) && !HasLineBreak(id.value_or(""))) return false;
  static LogOnce s_logged;
  if (s_logged.First()) {
    Log("catalogue: leaving out an application whose name or identifier holds a line break: "
        "%s (%s)",
        Printable(name.value_or("")).c_str(), Printable(id.value_or("")).c_str());
  }
  return true;
}

std::optional<std::string> InstalledPath(const std::optional<std::string>& bundleId) {
  if (!bundleId || bundleId->empty()) return std::nullopt;
  std::string path = platform::GetWorkspace().AbsolutePathForAppBundle(*bundleId);
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace

std::string DockLaunchScriptSource(std::string_view name) {
  return SubstituteQuoted(kDockLaunchScriptSource, name);
}

void RunDockLaunchScript(std::string_view name) {
  std::string source = DockLaunchScriptSource(name);
  platform::GetScripts().Run(platform::Script(kDockLaunchScriptName, source, name));
}

SysUtil& SysUtil::sharedInstance() {
  std::unique_ptr<SysUtil>& slot = SharedSlot();
  if (!slot) slot.reset(new SysUtil());
  return *slot;
}

void SysUtil::ResetSharedInstanceForTesting() { SharedSlot().reset(new SysUtil()); }

std::string SysUtil::UUIDString() { return catalogue::UUIDString(); }

const std::optional<std::vector<AppEntry>>& SysUtil::getDockInfo() {
  if (dockApps_) return dockApps_;
  std::optional<std::vector<DockTile>> tiles = ReadDockTiles();
  if (!tiles) return dockApps_;  // no Dock: the previous description is kept
  dockApps_.emplace();
  for (DockTile& tile : *tiles) {
    if (BreaksReplyLine(tile.label, tile.bundleId)) continue;
    AppEntry entry;
    entry.name = std::move(tile.label);
    entry.bundleId = std::move(tile.bundleId);
    entry.filePath = InstalledPath(entry.bundleId);
    entry.keepInDock = true;
    dockApps_->push_back(std::move(entry));
  }
  for (const AppEntry& running : getRunningAppOnDock()) addLaunchedAppInfo(running);
  dockInfoToString();
  return dockApps_;
}

std::optional<std::string> SysUtil::getDockInfoStr() {
  if (!dockAppStr_) getDockInfo();
  return dockAppStr_;
}

void SysUtil::dockInfoToString() {
  if (!dockApps_) return;
  dockAppStr_ = DockDescription(*dockApps_);
}

AppEntry* SysUtil::findAppInfoInDockInfo(std::string_view bundleId) {
  if (!dockApps_) return nullptr;
  for (AppEntry& entry : *dockApps_) {
    if (entry.bundleId && *entry.bundleId == bundleId) return &entry;
  }
  return nullptr;
}

bool SysUtil::getIconMsg(char* dst, const std::string& bundleId) {
  AppEntry* entry = findAppInfoInDockInfo(bundleId);
  if (entry == nullptr) return false;
  if (!entry->icon) {
    std::optional<std::vector<uint8_t>> png = getPngDataForApp(entry->filePath.value_or(""));
    if (!png) return false;
    entry->icon = "icon " + bundleId + " png " + base64EncodedString(*png) + "\n";
  }
  if (entry->icon->size() >= kIconBufferBytes) {
    static LogOnce s_tooLarge;
    if (s_tooLarge.First()) {
      Log("catalogue: the icon of %s takes %zu bytes, more than a reply holds; not sent",
          Printable(bundleId).c_str(), entry->icon->size());
    }
    return false;
  }
  std::memcpy(dst, entry->icon->c_str(), entry->icon->size() + 1);
  return true;
}

void SysUtil::launchApp(const std::string& bundleId) {
  AppEntry* entry = findAppInfoInDockInfo(bundleId);
  if (entry == nullptr || !entry->name) return;
  RunDockLaunchScript(*entry->name);
}

std::vector<AppEntry> SysUtil::getRunningAppOnDock() {
  std::vector<AppEntry> entries;
  for (const platform::RunningApp& app : platform::GetWorkspace().RunningApplications()) {
    if (app.policy != platform::kActivationPolicyRegular) continue;
    if (std::optional<AppEntry> entry = makeInfoFromApp(app)) entries.push_back(std::move(*entry));
  }
  return entries;
}

std::optional<AppEntry> SysUtil::makeInfoFromApp(const platform::RunningApp& app) {
  if (app.bundleId.empty() || BreaksReplyLine(app.name, app.bundleId)) return std::nullopt;
  AppEntry entry;
  entry.name = app.name;
  entry.bundleId = app.bundleId;
  entry.filePath = InstalledPath(entry.bundleId);
  entry.running = true;
  entry.keepInDock = false;
  return entry;
}

bool SysUtil::addLaunchedAppInfo(const AppEntry& entry) {
  if (!dockApps_) return false;  // nothing to merge into before the list is built
  std::vector<AppEntry>& apps = *dockApps_;
  if (entry.bundleId == kFinderBundleId &&
      (apps.empty() || apps.front().bundleId != kFinderBundleId)) {
    AppEntry finder = entry;
    finder.keepInDock = true;  // Finder stays, like a Dock item, when it quits
    apps.insert(apps.begin(), std::move(finder));
    return true;
  }
  if (AppEntry* known = findAppInfoInDockInfo(entry.bundleId.value_or(""))) {
    if (known->running) return false;
    known->running = true;
    return true;
  }
  apps.push_back(entry);
  return true;
}

bool SysUtil::removeLaunchedAppInfoWithBundleId(std::string_view bundleId) {
  if (!dockApps_) return false;
  std::vector<AppEntry>& apps = *dockApps_;
  for (auto it = apps.begin(); it != apps.end(); ++it) {
    if (!it->bundleId || *it->bundleId != bundleId) continue;
    if (it->keepInDock) {
      it->running = false;
    } else {
      apps.erase(it);
    }
    return true;
  }
  return false;
}

bool SysUtil::removeLaunchedAppInfo(const AppEntry& entry) {
  return removeLaunchedAppInfoWithBundleId(entry.bundleId.value_or(""));
}

void SysUtil::refreshDockInfo() {
  dockApps_.reset();
  getDockInfo();
}

}  // namespace hovra::catalogue
