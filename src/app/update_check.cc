#include "app/update_check.h"

#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>

#include "app/version_compare.h"
#include "base/json_depth.h"
#include "base/log.h"
#include "base/printable.h"
#include "platform/services.h"

#ifndef HOVRA_UPDATE_URL
#define HOVRA_UPDATE_URL ""
#endif

namespace hovra::app {

const char* const kUpdateEndpointUrl = HOVRA_UPDATE_URL;

std::optional<std::string> VersionFromBody(const std::string& body, std::string& logged) {
  logged = "(null)";
  if (!JsonNestingWithin(body)) return std::nullopt;  // printing it would recurse that deep
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
  text += Printable(version, kShownVersionBytes);  // the server's text
  text += format.substr(at + 2);
  return text;
}

UpdateChecker::UpdateChecker(std::string url, std::string currentVersion, HttpLimits limits)
    : state_(std::make_shared<State>()) {
  state_->url = std::move(url);
  state_->currentVersion = std::move(currentVersion);
  state_->limits = limits;
}

UpdateChecker::~UpdateChecker() { StopChecks(std::chrono::seconds(1)); }

UpdateCheckResult UpdateChecker::CheckNow(bool notify) { return Check(*state_, notify, nullptr); }

UpdateCheckResult UpdateChecker::Check(State& state, bool notify, HttpCancel* cancel) {
  state.needupdate.store(false, std::memory_order_release);
  UpdateCheckResult result;
  if (state.url.empty()) {
    result.outcome = UpdateOutcome::kNotConfigured;
    result.error = "no update address is configured";
    return result;
  }
  std::optional<std::string> body = HttpGet(state.url, state.limits, result.error, cancel);
  if (!body) {
    Log("update check of %s failed: %s", state.url.c_str(), result.error.c_str());
    return result;
  }
  std::string logged;
  std::optional<std::string> ver = VersionFromBody(*body, logged);
  Log("ver = %s", Printable(logged, kShownVersionBytes).c_str());
  Log("curver=%s", state.currentVersion.c_str());
  if (ver) result.version = *ver;
  if (ver && CompareVersions(*ver, state.currentVersion) == VersionOrder::kDescending) {
    result.outcome = UpdateOutcome::kNewer;
    {
      std::lock_guard<std::mutex> lock(state.updateverMutex);
      state.updatever = *ver;
    }
    state.needupdate.store(true, std::memory_order_release);
    return result;
  }
  result.outcome = UpdateOutcome::kNotNewer;
  if (notify) state.noticeNoNewVersion.store(true, std::memory_order_release);
  return result;
}

void UpdateChecker::edownloadVersion(bool notify) {
  if (!Configured()) return;
  std::lock_guard<std::mutex> lock(runningMutex_);
  JoinFinished(false);
  auto done = std::make_shared<std::atomic<bool>>(false);
  auto cancel = std::make_shared<HttpCancel>();
  try {
    std::thread thread([state = state_, notify, done, cancel] {
      Check(*state, notify, cancel.get());
      done->store(true, std::memory_order_release);
    });
    running_.push_back(Running{std::move(thread), std::move(done), std::move(cancel)});
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

bool UpdateChecker::StopChecks(std::chrono::milliseconds grace) {
  std::lock_guard<std::mutex> lock(runningMutex_);
  for (Running& check : running_) check.cancel->Cancel();
  const auto deadline = std::chrono::steady_clock::now() + grace;
  auto allDone = [&] {
    for (const Running& check : running_) {
      if (!check.done->load(std::memory_order_acquire)) return false;
    }
    return true;
  };
  while (!allDone() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  JoinFinished(false);
  if (running_.empty()) return true;
  Log("%zu update check(s) did not end in time; left behind", running_.size());
  for (Running& check : running_) check.thread.detach();
  running_.clear();
  return false;
}

std::optional<std::string> UpdateChecker::TakeNeedUpdate() {
  if (!state_->needupdate.exchange(false, std::memory_order_acq_rel)) return std::nullopt;
  std::lock_guard<std::mutex> lock(state_->updateverMutex);
  return state_->updatever;
}

bool UpdateChecker::TakeNoticeNoNewVersion() {
  return state_->noticeNoNewVersion.exchange(false, std::memory_order_acq_rel);
}

void showUpdatedialog(const std::string& updatever) {
  // The address is shown too, so that a headless host's user knows where to get it.
  const std::string where = std::string("Installer: ") + kInstallerPackageUrl;
  int answer = platform::GetUi().RunAlert(UpdateMessage(updatever), where, {"OK", "Cancel"});
  if (answer == 1000) platform::GetWorkspace().OpenURL(kInstallerPackageUrl);
}

void showNoVersionDialog() { platform::GetUi().ShowMessage(kNoNewVersionText); }

}  // namespace hovra::app
