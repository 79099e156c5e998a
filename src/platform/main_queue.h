// The main thread's run loop as the rest of the program sees it.
#pragma once

#include <chrono>
#include <functional>

namespace hovra::platform {

class MainQueue {
 public:
  virtual ~MainQueue() = default;
  // Runs `work` on the main thread later, in posting order.
  virtual void Post(std::function<void()> work) = 0;
  // Runs `work` on the main thread and waits for it. Meant for other threads; on the main
  // thread it runs at once. Returns false, without running it, once the loop has ended.
  virtual bool RunAndWait(std::function<void()> work) = 0;
  virtual void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) = 0;
  // Calls `tick` every `interval` on the main thread until the loop ends.
  virtual void StartRepeatingTimer(std::chrono::milliseconds interval,
                                   std::function<void()> tick) = 0;
  virtual bool IsMainThread() const = 0;
};

}  // namespace hovra::platform
