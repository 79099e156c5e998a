// The worker's event loop: descriptors registered with a handler and the events wanted,
// timers, and one wait per pass.
//
// A pass: the before-wait hook runs (it says whether work is left over, which makes the
// wait return at once), the backend waits (until the next timer at most), the handlers of
// the ready descriptors run in ascending descriptor order, once per descriptor, then the
// timers that are due. One thread only: every call is made on the loop's thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "server/poller.h"

namespace hovra {

class EventLoop {
 public:
  // Called with the descriptor and what of its wanted events are ready.
  using FileHandler = std::function<void(int fd, unsigned ready)>;
  // Returns the milliseconds until it runs again, or kTimerDone.
  using TimerHandler = std::function<long()>;
  static constexpr long kTimerDone = -1;
  // Runs before each wait; true when work is left that the next pass must do.
  using BeforeWait = std::function<bool()>;

  explicit EventLoop(std::unique_ptr<Poller> poller);
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Adds `mask` to what is watched on `fd`; `handler` (when given) replaces its handler.
  bool Watch(int fd, unsigned mask, FileHandler handler = nullptr);
  // Stops watching `mask` on `fd`; with nothing left the backend forgets the descriptor.
  void Unwatch(int fd, unsigned mask);
  unsigned Watched(int fd) const;

  using TimerId = uint64_t;
  TimerId AddTimer(long delayMs, TimerHandler handler);
  void DeleteTimer(TimerId id);

  void SetBeforeWait(BeforeWait hook) { beforeWait_ = std::move(hook); }

  void RunOnePass();
  const char* BackendName() const { return poller_->Name(); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Slot {
    unsigned mask = kNoEvents;
    FileHandler handler;
  };
  struct Timer {
    TimerId id;
    Clock::time_point due;
    TimerHandler handler;
  };

  int WaitMilliseconds(bool busy) const;
  void RunDueTimers();

  std::unique_ptr<Poller> poller_;
  std::vector<Slot> slots_;  // by descriptor
  std::vector<Timer> timers_;
  TimerId nextTimerId_ = 1;
  BeforeWait beforeWait_;
  std::vector<FiredEvent> fired_;
};

}  // namespace hovra
