// The platform services assembled from the chosen backends, and what this build and this
// session offer to choose from. The journal backend is always assembled: whatever backend
// carries an action out, the journal records what was asked.
//   std::string error;
//   auto backends = Backends::Assemble(options, choice, error);  // null: `error` says why
//   platform::Install(backends->Services());
#pragma once

#include <memory>
#include <string>

#include "app/backend_choice.h"
#include "app/options.h"
#include "platform/linux/window_tracker.h"
#include "platform/main_loop.h"
#include "platform/services.h"

namespace hovra::platform::journal {
class JournalBackend;
}
namespace hovra::platform::linux_desktop {
class LinuxWorkspaceParts;
}
namespace hovra::platform::qt {
class TrayBackend;
}

namespace hovra::app {

BuiltBackends ThisBuild();
SessionFacts SessionFactsFromEnvironment();

class Backends {
 public:
  static std::unique_ptr<Backends> Assemble(const Options& options, const BackendChoice& choice,
                                            std::string& error);
  ~Backends();

  // Every member set but the settings store (which depends on the host's facts).
  const platform::Services& Services() const { return services_; }
  platform::MainLoop& MainLoop() { return *loop_; }
  platform::journal::JournalBackend& Journal() { return *journal_; }

 private:
  Backends() = default;

  std::unique_ptr<platform::journal::JournalBackend> journal_;
  // With --ui tray: its loop and UI. Shared only so that a build without the tray can
  // hold the incomplete type.
  std::shared_ptr<platform::qt::TrayBackend> tray_;
  std::unique_ptr<platform::MainLoop> mainLoop_;  // otherwise GLib's or the plain run loop
  platform::MainLoop* loop_ = nullptr;
  // The Linux desktop's workspace half (ends before the loop it runs on). Shared, like the
  // tray, so that a build without the Linux desktop can hold the incomplete type.
  std::shared_ptr<platform::linux_desktop::LinuxWorkspaceParts> linuxWorkspace_;
  std::unique_ptr<platform::EventServices> input_;  // when input is not the journal's
  // The compositor's windows feeding the journal desktop's running applications, when there.
  std::unique_ptr<platform::linux_desktop::WindowTracker> windows_;
  std::shared_ptr<void> linuxDesktop_;  // the linux desktop's services, when chosen and built
  platform::Services services_;
};

}  // namespace hovra::app
