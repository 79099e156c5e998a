#include "platform/run_loop.h"

namespace hovra::platform {

RunLoop::RunLoop() : mainThread_(std::this_thread::get_id()) {}

RunLoop::~RunLoop() {
  Finish();
  // Threads still inside RunAndWait leave before the loop's state goes away.
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return waiters_.empty(); });
}

void RunLoop::Post(std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return;
  ready_.push_back(std::move(work));
  wake_.notify_one();
}

bool RunLoop::RunAndWait(std::function<void()> work) {
  if (IsMainThread()) {
    work();
    return true;
  }
  auto waiter = std::make_shared<Waiter>();
  std::unique_lock<std::mutex> lock(mutex_);
  if (ended_) return false;
  waiters_.push_back(waiter);
  ready_.push_back([this, waiter, work = std::move(work)] {
    work();
    std::lock_guard<std::mutex> done(mutex_);
    waiter->ran = true;
    waiter->finished = true;
    done_.notify_all();
  });
  wake_.notify_one();
  done_.wait(lock, [&] { return waiter->finished; });
  std::erase(waiters_, waiter);
  done_.notify_all();
  return waiter->ran;
}

void RunLoop::PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return;
  timers_.emplace(Clock::now() + delay, Timed{std::move(work), std::chrono::milliseconds(0)});
  wake_.notify_one();
}

void RunLoop::StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_ || interval.count() <= 0) return;
  timers_.emplace(Clock::now() + interval, Timed{std::move(tick), interval});
  wake_.notify_one();
}

void RunLoop::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    auto now = Clock::now();
    if (!timers_.empty() && timers_.begin()->first <= now) {
      auto node = timers_.extract(timers_.begin());
      Timed timed = std::move(node.mapped());
      if (timed.interval.count() > 0) {
        // Keeps the beat of a repeating timer unless the loop fell behind it.
        auto next = node.key() + timed.interval;
        timers_.emplace(next > now ? next : now + timed.interval, timed);
      }
      lock.unlock();
      timed.work();
      lock.lock();
      continue;
    }
    if (!ready_.empty()) {
      std::function<void()> work = std::move(ready_.front());
      ready_.pop_front();
      lock.unlock();
      work();
      lock.lock();
      continue;
    }
    if (timers_.empty()) {
      wake_.wait(lock);
    } else {
      wake_.wait_until(lock, timers_.begin()->first);
    }
  }
  lock.unlock();
  Finish();
}

void RunLoop::Quit() {
  std::lock_guard<std::mutex> lock(mutex_);
  quit_ = true;
  wake_.notify_one();
}

void RunLoop::Finish() {
  std::deque<std::function<void()>> dropped;
  std::multimap<Clock::time_point, Timed> droppedTimers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    ended_ = true;
    dropped.swap(ready_);
    droppedTimers.swap(timers_);
    for (auto& waiter : waiters_) waiter->finished = true;  // released without running
    done_.notify_all();
  }
}

}  // namespace hovra::platform
