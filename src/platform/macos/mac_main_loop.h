// The main thread's loop on macOS: AppKit's run loop runs on the main thread and the main
// dispatch queue is the main queue. Work posted after Quit() is dropped, work still queued
// when the loop ends does not run, and threads waiting in RunAndWait are let go then:
// dispatch_sync could not be released, so waiting is done here.
//   MacMainLoop loop(dispatchCalls);
//   loop.Run();   // on the main thread, until Quit()
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/main_loop.h"

namespace hovra::platform::macos {

// The Apple calls: dispatch_async / dispatch_after on the main queue, NSApplication's run
// and stop, pthread_main_np.
class DispatchCalls {
 public:
  virtual ~DispatchCalls() = default;
  virtual void Async(std::function<void()> work) = 0;
  virtual void After(std::chrono::nanoseconds delay, std::function<void()> work) = 0;
  virtual void RunApplication() = 0;   // returns once StopApplication() has been called
  virtual void StopApplication() = 0;  // on the main thread
  virtual bool IsMainThread() = 0;
};

class MacMainLoop : public MainLoop {
 public:
  using Clock = std::chrono::steady_clock;

  explicit MacMainLoop(DispatchCalls& calls, std::function<Clock::time_point()> now = Clock::now);
  ~MacMainLoop() override;

  void Post(std::function<void()> work) override;
  bool RunAndWait(std::function<void()> work) override;
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override;
  void StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  bool IsMainThread() const override { return calls_.IsMainThread(); }

  void Run() override;
  void Quit() override;

 private:
  struct State;
  static std::function<void()> UnlessQuitting(std::shared_ptr<State> state,
                                              std::function<void()> work);
  void ArmTick(std::chrono::milliseconds interval, Clock::time_point due,
               std::shared_ptr<std::function<void()>> tick);

  DispatchCalls& calls_;
  std::function<Clock::time_point()> now_;
  std::shared_ptr<State> state_;  // shared with the blocks still queued
};

}  // namespace hovra::platform::macos
