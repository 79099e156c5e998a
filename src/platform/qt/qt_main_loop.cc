#include "platform/qt/qt_main_loop.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <QWindow>

namespace hovra::platform::qt {

QtMainLoop::QtMainLoop() : mainThread_(std::this_thread::get_id()), context_(new QObject) {}

QtMainLoop::~QtMainLoop() {
  Finish();
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return waiters_.empty(); });
  context_.reset();  // drops the work still queued for it
}

bool QtMainLoop::Queue(std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return false;
  QMetaObject::invokeMethod(context_.get(), std::move(work), Qt::QueuedConnection);
  return true;
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
  std::lock_guard<std::mutex> lock(mutex_);
  quit_ = true;
  ended_ = true;
  for (auto& waiter : waiters_) waiter->finished = true;  // released without running
  done_.notify_all();
}

}  // namespace hovra::platform::qt
