#include "platform/linux/workspace/stopgap_glib_loop.h"

namespace hovra::platform::linux_desktop {
namespace {

struct Timed {
  std::function<void()> work;
  bool repeat;
};

gboolean RunTimed(gpointer data) {
  auto* timed = static_cast<Timed*>(data);
  timed->work();
  return timed->repeat ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void FreeTimed(gpointer data) { delete static_cast<Timed*>(data); }

}  // namespace

StopgapGlibLoop::StopgapGlibLoop()
    : mainThread_(std::this_thread::get_id()),
      context_(g_main_context_ref(g_main_context_default())),
      loop_(g_main_loop_new(context_, FALSE)) {}

StopgapGlibLoop::~StopgapGlibLoop() {
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

void StopgapGlibLoop::RunQueued() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(ready_);
    wakeQueued_ = false;
  }
  for (auto& work : batch) work();
}

void StopgapGlibLoop::Post(std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ended_) return;
  ready_.push_back(std::move(work));
  if (wakeQueued_) return;
  wakeQueued_ = true;
  // An idle source, never g_main_context_invoke: that would run the work right here when
  // this thread can take the context.
  GSource* source = g_idle_source_new();
  g_source_set_callback(
      source,
      [](gpointer self) {
        static_cast<StopgapGlibLoop*>(self)->RunQueued();
        return G_SOURCE_REMOVE;
      },
      this, nullptr);
  g_source_attach(source, context_);
  g_source_unref(source);
}

bool StopgapGlibLoop::RunAndWait(std::function<void()> work) {
  if (IsMainThread()) {
    work();
    return true;
  }
  auto finished = std::make_shared<int>(0);  // 1: ran, 2: dropped
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return false;
  }
  Post([this, finished, &work] {
    work();
    std::lock_guard<std::mutex> lock(mutex_);
    *finished = 1;
    done_.notify_all();
  });
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return *finished != 0 || ended_; });
  return *finished == 1;
}

void StopgapGlibLoop::PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) {
  GSource* source = g_timeout_source_new(static_cast<guint>(delay.count()));
  g_source_set_callback(source, RunTimed, new Timed{std::move(work), false}, FreeTimed);
  g_source_attach(source, context_);
  g_source_unref(source);
}

void StopgapGlibLoop::StartRepeatingTimer(std::chrono::milliseconds interval,
                                          std::function<void()> tick) {
  GSource* source = g_timeout_source_new(static_cast<guint>(interval.count()));
  g_source_set_callback(source, RunTimed, new Timed{std::move(tick), true}, FreeTimed);
  g_source_attach(source, context_);
  g_source_unref(source);
}

void StopgapGlibLoop::Run() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (ended_) return;
  }
  if (!quitEarly_.load()) g_main_loop_run(loop_);
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  ready_.clear();
  done_.notify_all();
}

void StopgapGlibLoop::Quit() {
  quitEarly_.store(true);  // a loop not yet running ignores the quit below
  g_main_loop_quit(loop_);
}

}  // namespace hovra::platform::linux_desktop
