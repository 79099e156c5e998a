#include "server/event_loop.h"

#include <algorithm>

namespace hovra {

EventLoop::EventLoop(std::unique_ptr<Poller> poller) : poller_(std::move(poller)) {}

bool EventLoop::Watch(int fd, unsigned mask, FileHandler handler) {
  if (fd < 0) return false;
  if (static_cast<size_t>(fd) >= slots_.size()) slots_.resize(static_cast<size_t>(fd) + 1);
  Slot& slot = slots_[static_cast<size_t>(fd)];
  const unsigned wanted = slot.mask | mask;
  if (wanted != slot.mask && !poller_->Change(fd, slot.mask, wanted)) return false;
  slot.mask = wanted;
  if (handler) slot.handler = std::move(handler);
  return true;
}

void EventLoop::Unwatch(int fd, unsigned mask) {
  if (fd < 0 || static_cast<size_t>(fd) >= slots_.size()) return;
  Slot& slot = slots_[static_cast<size_t>(fd)];
  const unsigned wanted = slot.mask & ~mask;
  if (wanted == slot.mask) return;
  poller_->Change(fd, slot.mask, wanted);
  slot.mask = wanted;  // the handler stays for the next Watch of this descriptor
}

unsigned EventLoop::Watched(int fd) const {
  if (fd < 0 || static_cast<size_t>(fd) >= slots_.size()) return kNoEvents;
  return slots_[static_cast<size_t>(fd)].mask;
}

EventLoop::TimerId EventLoop::AddTimer(long delayMs, TimerHandler handler) {
  const TimerId id = nextTimerId_++;
  timers_.push_back(
      Timer{id, Clock::now() + std::chrono::milliseconds(delayMs), std::move(handler)});
  return id;
}

void EventLoop::DeleteTimer(TimerId id) {
  std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
}

int EventLoop::WaitMilliseconds(bool busy) const {
  if (busy) return 0;
  if (timers_.empty()) return -1;
  auto next = timers_.front().due;
  for (const Timer& t : timers_) next = std::min(next, t.due);
  auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

void EventLoop::RunOnePass() {
  const bool busy = beforeWait_ && beforeWait_();
  fired_.clear();
  poller_->Wait(WaitMilliseconds(busy), fired_);
  // Ascending descriptor order, each descriptor once (a backend may report reading and
  // writing apart).
  std::sort(fired_.begin(), fired_.end(),
            [](const FiredEvent& a, const FiredEvent& b) { return a.fd < b.fd; });
  for (size_t i = 0; i < fired_.size();) {
    const int fd = fired_[i].fd;
    unsigned ready = 0;
    for (; i < fired_.size() && fired_[i].fd == fd; ++i) ready |= fired_[i].mask;
    // What was unwatched by an earlier handler of this pass is not reported.
    const unsigned wanted = Watched(fd);
    if ((ready & wanted) == 0) continue;
    // A copy: the handler may replace or drop its own registration.
    FileHandler handler = slots_[static_cast<size_t>(fd)].handler;
    if (handler) handler(fd, ready & wanted);
  }
  RunDueTimers();
}

void EventLoop::RunDueTimers() {
  const auto now = Clock::now();
  std::vector<TimerId> due;
  for (const Timer& t : timers_) {
    if (t.due <= now) due.push_back(t.id);
  }
  for (TimerId id : due) {
    auto it =
        std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) continue;  // deleted by an earlier timer of this pass
    TimerHandler handler = it->handler;
    const long next = handler();
    it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end()) continue;
    if (next == kTimerDone) {
      timers_.erase(it);
    } else {
      it->due = Clock::now() + std::chrono::milliseconds(next);
    }
  }
}

}  // namespace hovra
