// Qt's event loop as the main queue, for a program that shows the tray. Posted work,
// delayed work and timers run inside QApplication::exec(); on Linux Qt runs the GLib main
// context there, so GLib sources (D-Bus, settings signals) keep firing in the same loop.
// Work from other threads waits in a queue of this loop's own, under its own lock, and an
// eventfd wakes the main thread for it: nothing of it passes through Qt's cross-thread
// machinery, whose locking ThreadSanitizer cannot follow. Threads waiting in RunAndWait
// hold their own latch, released when the loop ends, since a blocking queued call would
// hang once nobody runs the queue.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/main_loop.h"

class QObject;
class QSocketNotifier;

namespace hovra::platform::qt {

class QtMainLoop : public MainLoop {
 public:
  QtMainLoop();  // after the QApplication, on its thread (the main thread)
  ~QtMainLoop() override;
  QtMainLoop(const QtMainLoop&) = delete;
  QtMainLoop& operator=(const QtMainLoop&) = delete;

  void Post(std::function<void()> work) override;
  bool RunAndWait(std::function<void()> work) override;
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override;
  // Ticks that fall due while a modal alert is open are skipped: the alert's answer is
  // awaited before the timer's duties (which may open another alert) run again.
  void StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == mainThread_; }

  void Run() override;
  void Quit() override;

 private:
  struct Waiter {
    bool finished = false;
    bool ran = false;
  };

  // Queues `work` for the main thread; false once the loop has ended.
  bool Queue(std::function<void()> work);
  void WakeLocked();
  // Runs the work queued when it was woken; later work waits for the next wake-up, so
  // that Qt's own events are served in between.
  void Drain();
  void OnMainThread(std::function<void()> work);
  void Finish();

  std::thread::id mainThread_;
  std::unique_ptr<QObject> context_;  // owns the timers and the notifier; main thread only
  int wakeFd_ = -1;
  QSocketNotifier* wakeNotifier_ = nullptr;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<std::function<void()>> queue_;
  bool wakePending_ = false;
  std::deque<std::shared_ptr<Waiter>> waiters_;
  std::atomic<bool> quit_{false};
  bool ended_ = false;
};

}  // namespace hovra::platform::qt
