// The update check: a GET of the update address whose JSON answer names the newest
// version in "ver". A newer version raises `needupdate` (with `updatever`); a user-asked
// check that finds nothing newer raises `noticeNoNewVersion`; a failed request changes
// nothing. The main-thread timer takes the flags and shows the dialogs.
#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/http_get.h"
#include "app/product_links.h"

namespace hovra::app {

inline constexpr const char* kUpdateEndpointUrl = "http://update.hovra.example/server/version.json";
inline constexpr const char* kUpdateMessageFormat =
    "Hovra Server new version %@ found, please download and install it.";
inline constexpr const char* kNoNewVersionText =
    "You are running the latest version of Hovra Server.";

enum class UpdateOutcome { kFailed, kNewer, kNotNewer };

struct UpdateCheckResult {
  UpdateOutcome outcome = UpdateOutcome::kFailed;
  std::string version;  // the endpoint's version text, when it gave one
  std::string error;    // why the request failed
};

// "ver" of a JSON object body, when it is text. `logged` receives what the log shows.
std::optional<std::string> VersionFromBody(const std::string& body, std::string& logged);
std::string UpdateMessage(const std::string& version);

class UpdateChecker {
 public:
  UpdateChecker(std::string url, std::string currentVersion, HttpLimits limits = {});
  ~UpdateChecker();  // waits for the checks still running
  UpdateChecker(const UpdateChecker&) = delete;
  UpdateChecker& operator=(const UpdateChecker&) = delete;

  // Starts one check on a background thread and returns at once.
  void edownloadVersion(bool notify);
  // One check on the calling thread, flags included.
  UpdateCheckResult CheckNow(bool notify);
  void WaitForChecks();

  // For the main-thread timer: each clears its flag and says whether it was set.
  std::optional<std::string> TakeNeedUpdate();  // the version to offer
  bool TakeNoticeNoNewVersion();

 private:
  struct Running {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void JoinFinished(bool all);

  const std::string url_;
  const std::string currentVersion_;
  const HttpLimits limits_;
  std::atomic<bool> needupdate_{false};
  std::atomic<bool> noticeNoNewVersion_{false};
  std::mutex updateverMutex_;
  std::string updatever_;
  std::mutex runningMutex_;
  std::list<Running> running_;
};

// The update dialog: "OK" opens the installer address, "Cancel" nothing.
void showUpdatedialog(const std::string& updatever);
void showNoVersionDialog();

}  // namespace hovra::app
