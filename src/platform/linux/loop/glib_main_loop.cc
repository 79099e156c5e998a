#include "platform/linux/loop/glib_main_loop.h"

#include <climits>

namespace hovra::platform::linux_desktop {

struct GlibMainLoop::Source {
  GSource base;
  GlibMainLoop* owner;

  static gboolean Prepare(GSource* source, gint* timeout) {
    *timeout = reinterpret_cast<Source*>(source)->owner->MillisecondsUntilWork();
    return *timeout == 0;
  }
  static gboolean Check(GSource* source) {
    return reinterpret_cast<Source*>(source)->owner->MillisecondsUntilWork() == 0;
  }
  static gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<Source*>(source)->owner->Dispatch();
    return G_SOURCE_CONTINUE;
  }

  static GSourceFuncs funcs;
};

GSourceFuncs GlibMainLoop::Source::funcs = {&Prepare, &Check, &Dispatch, nullptr, nullptr, nullptr};

GlibMainLoop::GlibMainLoop(GMainContext* context)
    : mainThread_(std::this_thread::get_id()),
      context_(context ? g_main_context_ref(context)
                       : g_main_context_ref(g_main_context_default())),
      loop_(g_main_loop_new(context_, FALSE)),
      source_(g_source_new(&Source::funcs, sizeof(Source))) {
  reinterpret_cast<Source*>(source_)->owner = this;
  g_source_set_priority(source_, G_PRIORITY_DEFAULT);
  g_source_attach(source_, context_);
}

GlibMainLoop::~GlibMainLoop() {
  Finish();
  {
    // Threads still inside RunAndWait leave before the loop's state goes away.
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return waiters_.empty(); });
  }
  g_source_destroy(source_);
  g_source_unref(source_);
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

void GlibMainLoop::Wake() { g_main_context_wakeup(context_); }

void GlibMainLoop::Post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return;
    ready_.push_back(std::move(work));
  }
  Wake();
}

bool GlibMainLoop::RunAndWait(std::function<void()> work) {
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
  Wake();
  done_.wait(lock, [&] { return waiter->finished; });
  std::erase(waiters_, waiter);
  done_.notify_all();
  return waiter->ran;
}

void GlibMainLoop::PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return;
    timers_.emplace(Clock::now() + delay, Timed{std::move(work), std::chrono::milliseconds(0)});
  }
  Wake();
}

void GlibMainLoop::StartRepeatingTimer(std::chrono::milliseconds interval,
                                       std::function<void()> tick) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_ || interval.count() <= 0) return;
    timers_.emplace(Clock::now() + interval, Timed{std::move(tick), interval});
  }
  Wake();
}

int GlibMainLoop::MillisecondsUntilWork() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return -1;  // whoever iterates the context after the end is not kept busy
  if (quit_ || !ready_.empty()) return 0;
  if (timers_.empty()) return -1;
  auto wait = timers_.begin()->first - Clock::now();
  if (wait <= Clock::duration::zero()) return 0;
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

bool GlibMainLoop::RunOneDueTimer() {
  std::unique_lock<std::mutex> lock(mutex_);
  auto now = Clock::now();
  if (quit_ || timers_.empty() || timers_.begin()->first > now) return false;
  auto node = timers_.extract(timers_.begin());
  Timed timed = std::move(node.mapped());
  if (timed.interval.count() > 0) {
    // Keeps the beat of a repeating timer unless the loop fell behind it.
    auto next = node.key() + timed.interval;
    timers_.emplace(next > now ? next : now + timed.interval, timed);
  }
  lock.unlock();
  timed.work();
  return true;
}

void GlibMainLoop::Dispatch() {
  while (RunOneDueTimer()) {
  }
  // Only the work queued so far: work that posts more work lets other sources run between.
  size_t count;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    count = ready_.size();
  }
  for (; count > 0; --count) {
    std::function<void()> work;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (quit_ || ready_.empty()) break;
      work = std::move(ready_.front());
      ready_.pop_front();
    }
    work();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (quit_) g_main_loop_quit(loop_);
}

void GlibMainLoop::Run() {
  bool quitBeforeRun;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quitBeforeRun = quit_;
  }
  // A Quit() from now on wakes the context, whose next dispatch ends the run.
  if (!quitBeforeRun) g_main_loop_run(loop_);
  Finish();
}

void GlibMainLoop::Quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  Wake();
}

void GlibMainLoop::Finish() {
  std::deque<std::function<void()>> dropped;
  std::multimap<Clock::time_point, Timed> droppedTimers;
  std::lock_guard<std::mutex> lock(mutex_);
  quit_ = true;
  ended_ = true;
  dropped.swap(ready_);
  droppedTimers.swap(timers_);
  for (auto& waiter : waiters_) waiter->finished = true;  // released without running
  done_.notify_all();
}

}  // namespace hovra::platform::linux_desktop

#if defined(__SANITIZE_THREAD__)
// GLib, GIO and GObject hand data between their own threads (GDBus's) with futex-based
// locks that ThreadSanitizer cannot see; what those libraries allocate and free is left out
// of its checks. Every program with this loop links this definition.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:libglib-2.0.so.0\n"
         "called_from_lib:libgio-2.0.so.0\n"
         "called_from_lib:libgobject-2.0.so.0\n";
}
#endif
