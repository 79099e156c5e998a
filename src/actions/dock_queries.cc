#include "actions/dock_queries.h"

#include <functional>
#include <optional>

#include "base/log.h"
#include "catalogue/sys_util.h"
#include "platform/services.h"

namespace hovra::actions {
namespace {

// RunAndWait refuses once the main loop has ended (the program is shutting down).
bool OnMainThread(const char* what, std::function<void()> work) {
  static LogOnce s_refused;
  if (platform::GetMainQueue().RunAndWait(std::move(work))) return true;
  if (s_refused.First())
    Log("%s: the main thread has stopped; answering without the catalogue", what);
  return false;
}

}  // namespace

void GetDockInfo(std::string& dst) {
  std::optional<std::string> description;
  OnMainThread("GetDockInfo",
               [&] { description = catalogue::SysUtil::sharedInstance().getDockInfoStr(); });
  // Without a Dock the client still gets a well-formed, empty list.
  dst += description.value_or("[]");
  dst += '\n';
}

bool GetIconForApp(const char* name, char* dst) {
  if (name == nullptr) return false;
  bool made = false;
  std::string bundleId(name);
  OnMainThread("GetIconForApp",
               [&] { made = catalogue::SysUtil::sharedInstance().getIconMsg(dst, bundleId); });
  return made;
}

void LauchApp(const char* name) {
  if (name == nullptr) return;
  std::optional<std::string> label;
  std::string bundleId(name);
  OnMainThread("LauchApp", [&] {
    const catalogue::AppEntry* entry =
        catalogue::SysUtil::sharedInstance().findAppInfoInDockInfo(bundleId);
    if (entry != nullptr) label = entry->name;
  });
  // The script may take long; it runs here so the main thread is not held up.
  if (label) catalogue::RunDockLaunchScript(*label);
}

}  // namespace hovra::actions
