// Workspace of the journal backend: installed and running applications come from the
// simulated desktop, opened URLs go to the journal, files and folders are the real ones.
#pragma once

#include <functional>
#include <mutex>

#include "platform/journal/journal_writer.h"
#include "platform/journal/sim_desktop.h"
#include "platform/workspace.h"

namespace hovra::platform::journal {

class JournalWorkspace : public Workspace {
 public:
  JournalWorkspace(JournalWriter& journal, SimDesktop& desktop)
      : journal_(journal), desktop_(desktop) {}

  std::string AbsolutePathForAppBundle(std::string_view bundleId) override;
  std::vector<RunningApp> RunningApplications() override { return desktop_.Running(); }
  void SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) override;
  std::vector<ImageRepresentation> IconForFile(std::string_view path) override;
  void OpenURL(std::string_view url) override;
  std::optional<std::string> ReadPropertyList(std::string_view path) override;
  std::string DockPropertyListPath() override { return desktop_.Config().dockPlist; }
  std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view path) override;
  bool VisitDirectory(std::string_view path,
                      const std::function<bool(const DirectoryEntry&)>& visit) override;

  // Delivers a notice as the desktop would (call on the main thread).
  void Notify(const WorkspaceEvent& event);

 private:
  JournalWriter& journal_;
  SimDesktop& desktop_;
  std::mutex handlerMutex_;
  std::function<void(const WorkspaceEvent&)> handler_;
};

}  // namespace hovra::platform::journal
