#include "app/update_check.h"

#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>

#include "app/version_compare.h"
#include "base/log.h"
#include "platform/services.h"

#ifndef HOVRA_UPDATE_URL
#define HOVRA_UPDATE_URL ""
#endif

namespace hovra::app {

const char* const kUpdateEndpointUrl = HOVRA_UPDATE_URL;

std::optional<std::string> VersionFromBody(const std::string& body, std::string& logged) {
  logged = "(null)";
  nlohmann::json parsed = nlohmann::json::parse(body, nullptr, /*allow_exceptions=*/false);
  if (!parsed.is_object()) return std::nullopt;
  auto ver = parsed.find("ver");
  if (ver == parsed.end()) return std::nullopt;
  if (!ver->is_string()) {
    logged = ver->dump();  // a number or a list is shown, but names no version
    return std::nullopt;
  }
  logged = ver->get<std::string>();
  return logged;
}

std::string UpdateMessage(const std::string& version) {
  // Put together from the two halves around "%@": an in-place replace trips GCC 12's
  // -Wrestrict at -O3, which cannot see that the text and the version never overlap.
  const std::string_view format = kUpdateMessageFormat;
  const size_t at = format.find("%@");
  std::string text(format.substr(0, at));
  text += version;
  text += format.substr(at + 2);
  return text;
}

UpdateChecker::UpdateChecker(std::string url, std::string currentVersion, HttpLimits limits)
    : url_(std::move(url)), currentVersion_(std::move(currentVersion)), limits_(limits) {}

UpdateChecker::~UpdateChecker() { WaitForChecks(); }

UpdateCheckResult UpdateChecker::CheckNow(bool notify) {
  needupdate_.store(false, std::memory_order_release);
  UpdateCheckResult result;
  if (!Configured()) {
    result.outcome = UpdateOutcome::kNotConfigured;
    result.error = "no update address is configured";
    return result;
  }
  std::optional<std::string> body = HttpGet(url_, limits_, result.error);
  if (!body) {
    Log("update check of %s failed: %s", url_.c_str(), result.error.c_str());
    return result;
  }
  std::string logged;
  std::optional<std::string> ver = VersionFromBody(*body, logged);
  Log("ver = %s", logged.c_str());
  Log("curver=%s", currentVersion_.c_str());
  if (ver) result.version = *ver;
  if (ver && CompareVersions(*ver, currentVersion_) == VersionOrder::kDescending) {
    result.outcome = UpdateOutcome::kNewer;
    {
      std::lock_guard<std::mutex> lock(updateverMutex_);
      updatever_ = *ver;
    }
    needupdate_.store(true, std::memory_order_release);
    return result;
  }
  result.outcome = UpdateOutcome::kNotNewer;
  if (notify) noticeNoNewVersion_.store(true, std::memory_order_release);
  return result;
}

void UpdateChecker::edownloadVersion(bool notify) {
  if (!Configured()) return;
  std::lock_guard<std::mutex> lock(runningMutex_);
  JoinFinished(false);
  auto done = std::make_shared<std::atomic<bool>>(false);
  try {
    std::thread thread([this, notify, done] {
      CheckNow(notify);
      done->store(true, std::memory_order_release);
    });
    running_.push_back(Running{std::move(thread), std::move(done)});
  } catch (const std::system_error& e) {
    Log("update check not started: %s", e.what());  // the next check tries again
  }
}

void UpdateChecker::JoinFinished(bool all) {
  for (auto it = running_.begin(); it != running_.end();) {
    if (all || it->done->load(std::memory_order_acquire)) {
      it->thread.join();
      it = running_.erase(it);
    } else {
      ++it;
    }
  }
}

void UpdateChecker::WaitForChecks() {
  std::lock_guard<std::mutex> lock(runningMutex_);
  JoinFinished(true);
}

std::optional<std::string> UpdateChecker::TakeNeedUpdate() {
  if (!needupdate_.exchange(false, std::memory_order_acq_rel)) return std::nullopt;
  std::lock_guard<std::mutex> lock(updateverMutex_);
  return updatever_;
}

bool UpdateChecker::TakeNoticeNoNewVersion() {
  return noticeNoNewVersion_.exchange(false, std::memory_order_acq_rel);
}

void showUpdatedialog(const std::string& updatever) {
  // The address is shown too, so that a headless host's user knows where to get it.
  const std::string where = std::string("Installer: ") + kInstallerPackageUrl;
  int answer = platform::GetUi().RunAlert(UpdateMessage(updatever), where, {"OK", "Cancel"});
  if (answer == 1000) platform::GetWorkspace().OpenURL(kInstallerPackageUrl);
}

void showNoVersionDialog() { platform::GetUi().ShowMessage(kNoNewVersionText); }

}  // namespace hovra::app
