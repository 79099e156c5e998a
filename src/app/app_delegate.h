// Where the program comes to life and where main-thread work is done: start-up in a fixed
// order, the one-second timer (the main thread's mailbox for the other threads' flags),
// the catalogue's launch notices, and the quit decision.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/document_store.h"
#include "app/options.h"
#include "app/update_check.h"
#include "catalogue/sys_util.h"
#include "server/hovra_svr_sock.h"

namespace hovra::app {

class AppDelegate : public catalogue::DockInfoListenerDelegate {
 public:
  explicit AppDelegate(const Options& options);
  ~AppDelegate() override;

  // Start-up, on the main thread. False when the server cannot listen on its port.
  bool applicationDidFinishLaunching();
  // One tick of the timer: panel countdown, update dialogs, the waiting notice, the
  // pending power actions.
  void onTimer();
  void onApplicationLaunch(const std::string& bundleId) override;
  void onApplicationTerminated() override {}
  // Whether the program may quit now (SIGINT and SIGTERM ask this too).
  TerminateReply applicationShouldTerminate() { return documents_.applicationShouldTerminate(); }

  CHovraSvrSock* Server() { return server_.get(); }
  bool IsAutoRun() const { return isautorun_; }
  void SetAutoRun(bool on) { isautorun_ = on; }
  // How start-up learns whether the program starts at login (before start-up); without
  // one, from the XDG autostart folder.
  void SetAutoRunProbe(std::function<bool()> probe) { autoRunProbe_ = std::move(probe); }
  // "Check update" of the menu: a check that says so when there is nothing newer.
  void downloadVersion() { updates_.edownloadVersion(true); }
  const std::string& AddressList() const { return global_ip_address_; }
  // Waits for the start-up tasks (tests, and an orderly end).
  void WaitForBackgroundTasks();

 private:
  void showMsgWindow(const std::string& message, const std::string& url);
  void RunInBackground(std::function<void()> task);

  const Options options_;
  std::unique_ptr<CHovraSvrSock> server_;
  UpdateChecker updates_;
  DocumentStore documents_;
  unsigned int _timeCnt = 0;  // ticks left before the notification panel closes
  std::string uuid_;
  std::string global_ip_address_;
  std::atomic<bool> isautorun_{false};
  std::function<bool()> autoRunProbe_;
  std::vector<std::thread> background_;
};

}  // namespace hovra::app
