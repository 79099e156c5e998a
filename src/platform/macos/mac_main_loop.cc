#include "platform/macos/mac_main_loop.h"

#include <algorithm>
#include <vector>

namespace hovra::platform::macos {

struct MacMainLoop::State {
  struct Waiter {
    bool finished = false;
    bool ran = false;
  };

  std::mutex mutex;
  std::condition_variable done;
  bool quit = false;  // nothing more runs
  std::vector<std::shared_ptr<Waiter>> waiters;

  bool Quitting() {
    std::lock_guard<std::mutex> lock(mutex);
    return quit;
  }
  void Finish() {
    std::lock_guard<std::mutex> lock(mutex);
    quit = true;
    for (auto& waiter : waiters) waiter->finished = true;  // let go without running
    done.notify_all();
  }
};

std::function<void()> MacMainLoop::UnlessQuitting(std::shared_ptr<State> state,
                                                  std::function<void()> work) {
  return [state = std::move(state), work = std::move(work)] {
    if (!state->Quitting()) work();
  };
}

MacMainLoop::MacMainLoop(DispatchCalls& calls, std::function<Clock::time_point()> now)
    : calls_(calls), now_(std::move(now)), state_(std::make_shared<State>()) {}

MacMainLoop::~MacMainLoop() {
  state_->Finish();
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->done.wait(lock, [&] { return state_->waiters.empty(); });
}

void MacMainLoop::Post(std::function<void()> work) {
  if (state_->Quitting()) return;
  calls_.Async(UnlessQuitting(state_, std::move(work)));
}

bool MacMainLoop::RunAndWait(std::function<void()> work) {
  if (IsMainThread()) {
    work();
    return true;
  }
  auto waiter = std::make_shared<State::Waiter>();
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->quit) return false;
    state_->waiters.push_back(waiter);
  }
  calls_.Async([state = state_, waiter, work = std::move(work)] {
    if (state->Quitting()) return;  // Finish() lets the waiter go
    work();
    std::lock_guard<std::mutex> lock(state->mutex);
    waiter->ran = true;
    waiter->finished = true;
    state->done.notify_all();
  });
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->done.wait(lock, [&] { return waiter->finished; });
  std::erase(state_->waiters, waiter);
  state_->done.notify_all();
  return waiter->ran;
}

void MacMainLoop::PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) {
  if (state_->Quitting()) return;
  calls_.After(std::max(delay, std::chrono::milliseconds(0)),
               UnlessQuitting(state_, std::move(work)));
}

void MacMainLoop::StartRepeatingTimer(std::chrono::milliseconds interval,
                                      std::function<void()> tick) {
  if (interval.count() <= 0 || state_->Quitting()) return;
  ArmTick(interval, now_() + interval, std::make_shared<std::function<void()>>(std::move(tick)));
}

void MacMainLoop::ArmTick(std::chrono::milliseconds interval, Clock::time_point due,
                          std::shared_ptr<std::function<void()>> tick) {
  auto delay = std::max(Clock::duration::zero(), due - now_());
  calls_.After(delay, [this, state = state_, interval, due, tick] {
    if (state->Quitting()) return;  // the loop may be gone: nothing of it is touched
    (*tick)();
    // Keeps the beat unless the loop fell a whole interval behind it.
    Clock::time_point next = due + interval;
    Clock::time_point now = now_();
    ArmTick(interval, next > now ? next : now + interval, tick);
  });
}

void MacMainLoop::Run() {
  if (!state_->Quitting()) calls_.RunApplication();
  state_->Finish();
}

void MacMainLoop::Quit() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->quit = true;
  }
  DispatchCalls* calls = &calls_;
  calls_.Async([calls] { calls->StopApplication(); });
}

}  // namespace hovra::platform::macos
