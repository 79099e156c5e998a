// The main thread's loop on a GLib main context, so that D-Bus replies and signals,
// GSettings changes and the loop's own work all run on one thread. Other threads only
// touch this object's own queue and wake the context; everything GLib does happens on
// the thread that runs the loop.
//   GlibMainLoop loop;                  // the constructing thread is the main thread
//   loop.Post([] { ... });
//   loop.Run();                         // until Quit()
#pragma once

#include <glib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/main_loop.h"

namespace hovra::platform::linux_desktop {

class GlibMainLoop : public MainLoop {
 public:
  // Runs on `context` (null: the global default context, where GDBus delivers signals
  // subscribed on the main thread).
  explicit GlibMainLoop(GMainContext* context = nullptr);
  ~GlibMainLoop() override;
  GlibMainLoop(const GlibMainLoop&) = delete;
  GlibMainLoop& operator=(const GlibMainLoop&) = delete;

  void Post(std::function<void()> work) override;
  bool RunAndWait(std::function<void()> work) override;
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override;
  void StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == mainThread_; }

  void Run() override;
  void Quit() override;

  GMainContext* Context() const { return context_; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Waiter {
    bool finished = false;
    bool ran = false;
  };
  struct Timed {
    std::function<void()> work;
    std::chrono::milliseconds interval{0};  // 0: runs once
  };
  struct Source;  // the GSource that carries this loop's work into the context

  // The GSource's three questions, answered under the lock.
  int MillisecondsUntilWork();  // 0: work is due; -1: nothing scheduled
  void Dispatch();              // on the main thread
  bool RunOneDueTimer();
  void Finish();
  void Wake();

  std::thread::id mainThread_;
  GMainContext* context_;
  GMainLoop* loop_;
  GSource* source_;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<std::function<void()>> ready_;
  std::multimap<Clock::time_point, Timed> timers_;
  std::deque<std::shared_ptr<Waiter>> waiters_;
  bool quit_ = false;
  bool ended_ = false;
};

}  // namespace hovra::platform::linux_desktop
