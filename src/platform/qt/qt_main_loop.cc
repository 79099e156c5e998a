#include "platform/qt/qt_main_loop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/log.h"

namespace hovra::platform::qt {

QtMainLoop::QtMainLoop()
    : mainThread_(std::this_thread::get_id()),
      context_(new QObject),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wakeFd_ < 0) {
    Log("the main loop cannot make its wake-up descriptor: %s", std::strerror(errno));
    return;
  }
  wakeNotifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read, context_.get());
  QObject::connect(wakeNotifier_, &QSocketNotifier::activated, context_.get(), [this] {
    uint64_t count = 0;
    while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    Drain();
  });
}

QtMainLoop::~QtMainLoop() {
  Finish();
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return waiters_.empty(); });
  context_.reset();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool QtMainLoop::Queue(std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return false;
  queue_.push_back(std::move(work));
  WakeLocked();
  return true;
}

void QtMainLoop::WakeLocked() {
  if (wakePending_) return;
  wakePending_ = true;
  if (wakeFd_ < 0) {  // no descriptor: Qt's own cross-thread call carries the wake-up
    QMetaObject::invokeMethod(
        context_.get(), [this] { Drain(); }, Qt::QueuedConnection);
    return;
  }
  const uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void QtMainLoop::Drain() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wakePending_ = false;
    batch.swap(queue_);
  }
  for (std::function<void()>& work : batch) work();
}

void QtMainLoop::OnMainThread(std::function<void()> work) {
  if (IsMainThread()) {
    work();
  } else {
    Post(std::move(work));
  }
}

void QtMainLoop::Post(std::function<void()> work) {
  Queue([this, work = std::move(work)] {
    if (!quit_) work();
  });
}

bool QtMainLoop::RunAndWait(std::function<void()> work) {
  if (IsMainThread()) {
    work();
    return true;
  }
  auto waiter = std::make_shared<Waiter>();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || quit_) return false;
    waiters_.push_back(waiter);
  }
  Queue([this, waiter, work = std::move(work)] {
    if (quit_) return;  // dropped: the end of the loop releases the waiter
    work();
    std::lock_guard<std::mutex> lock(mutex_);
    waiter->ran = true;
    waiter->finished = true;
    done_.notify_all();
  });
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return waiter->finished; });
  std::erase(waiters_, waiter);
  done_.notify_all();
  return waiter->ran;
}

void QtMainLoop::PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) {
  // Qt timers belong to the thread that starts them: always the main thread here.
  OnMainThread([this, delay, work = std::move(work)] {
    QTimer::singleShot(delay, context_.get(), [this, work] {
      if (!quit_) work();
    });
  });
}

void QtMainLoop::StartRepeatingTimer(std::chrono::milliseconds interval,
                                     std::function<void()> tick) {
  if (interval.count() <= 0) return;
  OnMainThread([this, interval, tick = std::move(tick)] {
    auto* timer = new QTimer(context_.get());  // owned by the context
    QObject::connect(timer, &QTimer::timeout, context_.get(), [this, tick] {
      if (quit_ || QGuiApplication::modalWindow() != nullptr) return;
      tick();
    });
    timer->start(interval);
  });
}

void QtMainLoop::Run() {
  if (!quit_) QCoreApplication::exec();
  Finish();
}

void QtMainLoop::Quit() {
  quit_ = true;
  // exit() ends every loop of the main thread, a modal alert's included; it must be called
  // there, so other threads queue it.
  if (IsMainThread()) {
    QCoreApplication::exit(0);
  } else {
    Queue([] { QCoreApplication::exit(0); });
  }
}

void QtMainLoop::Finish() {
  std::deque<std::function<void()>> dropped;  // destroyed outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  quit_ = true;
  ended_ = true;
  dropped.swap(queue_);
  for (auto& waiter : waiters_) waiter->finished = true;  // released without running
  done_.notify_all();
}

}  // namespace hovra::platform::qt
