// The update check: a GET of the update address whose JSON answer names the newest
// version in "ver". A newer version raises `needupdate` (with `updatever`); a user-asked
// check that finds nothing newer raises `noticeNoNewVersion`; a failed request changes
// nothing. The main-thread timer takes the flags and shows the dialogs.
#pragma once

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/http_get.h"
#include "app/product_links.h"

namespace hovra::app {

// The build's update address (CMake's HOVRA_UPDATE_URL). Empty by default: packaged builds
// are updated by the system's package manager, so the server asks nobody unless an address
// is configured here or given with --update-url.
extern const char* const kUpdateEndpointUrl;
inline constexpr const char* kUpdateMessageFormat =
    "Hovra Server new version %@ found, please download and install it.";
inline constexpr const char* kNoNewVersionText =
    "You are running the latest version of Hovra Server.";

enum class UpdateOutcome { kFailed, kNewer, kNotNewer, kNotConfigured };

struct UpdateCheckResult {
  UpdateOutcome outcome = UpdateOutcome::kFailed;
  std::string version;  // the endpoint's version text, when it gave one
  std::string error;    // why the request failed
};

// "ver" of a JSON object body, when it is text. `logged` receives what the log shows.
std::optional<std::string> VersionFromBody(const std::string& body, std::string& logged);
// What of a version text from the update server is shown or logged, in bytes.
inline constexpr size_t kShownVersionBytes = 32;
std::string UpdateMessage(const std::string& version);

class UpdateChecker {
 public:
  UpdateChecker(std::string url, std::string currentVersion, HttpLimits limits = {});
  ~UpdateChecker();  // stops the checks still running (StopChecks)
  UpdateChecker(const UpdateChecker&) = delete;
  UpdateChecker& operator=(const UpdateChecker&) = delete;

  // False for an empty address: then no check ever sends a request.
  bool Configured() const { return !state_->url.empty(); }
  // Starts one check on a background thread and returns at once (nothing when unconfigured).
  void edownloadVersion(bool notify);
  // One check on the calling thread, flags included; kNotConfigured without an address.
  UpdateCheckResult CheckNow(bool notify);
  void WaitForChecks();
  // Cancels the checks still running and waits at most `grace` for them to end; the ones
  // that did not are left to end by themselves (their state outlives this object).
  // Returns whether every check has ended.
  bool StopChecks(std::chrono::milliseconds grace);

  // For the main-thread timer: each clears its flag and says whether it was set.
  std::optional<std::string> TakeNeedUpdate();  // the version to offer
  bool TakeNoticeNoNewVersion();

 private:
  // What a check uses, shared with its thread so that an abandoned check stays safe.
  struct State {
    std::string url;
    std::string currentVersion;
    HttpLimits limits;
    std::atomic<bool> needupdate{false};
    std::atomic<bool> noticeNoNewVersion{false};
    std::mutex updateverMutex;
    std::string updatever;
  };
  struct Running {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
    std::shared_ptr<HttpCancel> cancel;
  };
  static UpdateCheckResult Check(State& state, bool notify, HttpCancel* cancel);
  void JoinFinished(bool all);

  std::shared_ptr<State> state_;
  std::mutex runningMutex_;
  std::list<Running> running_;
};

// The update dialog: "OK" opens the installer address, "Cancel" nothing.
void showUpdatedialog(const std::string& updatever);
void showNoVersionDialog();

}  // namespace hovra::app
