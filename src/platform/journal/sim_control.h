// The simulated desktop's control socket (--sim-control PATH): a Unix stream socket that
// takes workspace notifications as JSON lines, such as
//   {"notify":"activated","bundleId":"org.videolan.vlc","name":"VLC","policy":0}
// ("launched", "terminated", "activated", "deactivated", "woke"). Any number of
// connections; each notice is delivered through the main queue, as the desktop would.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/journal/journal_workspace.h"
#include "platform/main_queue.h"
#include "platform/workspace.h"

namespace hovra::platform::journal {

// Nothing for a line that is not a notice.
std::optional<WorkspaceEvent> ParseNotice(std::string_view line);

class SimControl {
 public:
  // Listens at `path`, replacing a socket left there by an earlier run. Throws
  // std::runtime_error naming the problem when it cannot listen.
  SimControl(std::string path, JournalWorkspace& workspace, MainQueue& mainQueue);
  ~SimControl();  // stops listening, closes every connection and removes the socket file

  SimControl(const SimControl&) = delete;
  SimControl& operator=(const SimControl&) = delete;

 private:
  void Serve();
  void Deliver(std::string_view line);

  std::string path_;
  JournalWorkspace& workspace_;
  MainQueue& mainQueue_;
  int listenFd_ = -1;
  int stopRead_ = -1;  // the serving thread wakes when the destructor writes here
  int stopWrite_ = -1;
  std::thread thread_;
};

}  // namespace hovra::platform::journal
