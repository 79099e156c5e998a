// The journal backend assembled: a simulated desktop and the services that record to the
// journal. The settings store and the main queue are the host program's.
#pragma once

#include <memory>

#include "platform/journal/headless_ui.h"
#include "platform/journal/journal_events.h"
#include "platform/journal/journal_host.h"
#include "platform/journal/journal_scripts.h"
#include "platform/journal/journal_workspace.h"
#include "platform/journal/journal_writer.h"
#include "platform/journal/sim_desktop.h"
#include "platform/services.h"

namespace hovra::platform::journal {

class JournalBackend {
 public:
  JournalBackend(std::unique_ptr<JournalWriter> journal, SimConfig config);

  JournalWriter& Journal() { return *journal_; }
  SimDesktop& Desktop() { return desktop_; }
  JournalWorkspace& Workspace() { return workspace_; }

  // Sets the event, script, workspace, host and user-interface members of `services`.
  void Provide(Services& services);

 private:
  std::unique_ptr<JournalWriter> journal_;
  SimDesktop desktop_;
  JournalEvents events_;
  JournalScripts scripts_;
  JournalWorkspace workspace_;
  JournalHost host_;
  HeadlessUi ui_;
};

}  // namespace hovra::platform::journal
