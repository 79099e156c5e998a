// A main loop on GLib's default main context, so that the desktop's sources (the X
// connection, settings and file monitors, D-Bus signals) are dispatched on the main thread.
// Stands in until the Linux desktop's own GLib main loop is part of this program; delete
// it then.
#pragma once

#include <glib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/main_loop.h"

namespace hovra::platform::linux_desktop {

class StopgapGlibLoop : public MainLoop {
 public:
  StopgapGlibLoop();  // the constructing thread is the main thread
  ~StopgapGlibLoop() override;

  void Post(std::function<void()> work) override;
  bool RunAndWait(std::function<void()> work) override;
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override;
  void StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == mainThread_; }
  void Run() override;
  void Quit() override;

  void RunQueued();

 private:
  std::thread::id mainThread_;
  GMainContext* context_;
  GMainLoop* loop_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<std::function<void()>> ready_;
  bool ended_ = false;
  bool wakeQueued_ = false;
  std::atomic<bool> quitEarly_{false};
};

}  // namespace hovra::platform::linux_desktop
