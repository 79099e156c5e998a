#include "server/system_version.h"

#include <mutex>

#include "platform/services.h"

namespace hovra {
namespace {

std::mutex s_versionMutex;
std::string s_sysVerStr = kUnknownSystemVersion;

}  // namespace

std::string SystemVersionText() {
  std::lock_guard<std::mutex> lock(s_versionMutex);
  return s_sysVerStr;
}

void SetSystemVersionText(const std::string& text) {
  std::lock_guard<std::mutex> lock(s_versionMutex);
  // The greeting carries at most 63 bytes of it, like the fixed text it replaces.
  s_sysVerStr = text.empty() ? kUnknownSystemVersion : text.substr(0, 63);
}

void GetSystemVersion() {
  platform::GetMainQueue().Post(
      [] { SetSystemVersionText(platform::GetHost().OsProductVersion()); });
}

}  // namespace hovra
