#include "platform/linux/windows/ewmh_window_tracker.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <glib-unix.h>
#include <glib.h>

#include <atomic>
#include <map>
#include <mutex>

#include "base/log.h"
#include "platform/linux/windows/ewmh_properties.h"
#include "platform/linux/windows/x_error_trap.h"

namespace hovra::platform::linux_desktop {
namespace {

// How long an active window of None must last before it counts (window managers write
// None between two windows).
constexpr guint kNoneSettleMs = 150;

bool SameWindow(const TrackedWindow& a, const TrackedWindow& b) {
  return a.id == b.id && a.appId == b.appId && a.wmClass == b.wmClass &&
         a.wmInstance == b.wmInstance && a.pid == b.pid && a.skipTaskbar == b.skipTaskbar;
}

bool SameSnapshot(const WindowSnapshot& a, const WindowSnapshot& b) {
  if (a.activeId != b.activeId || a.windows.size() != b.windows.size()) return false;
  for (size_t i = 0; i < a.windows.size(); ++i) {
    if (!SameWindow(a.windows[i], b.windows[i])) return false;
  }
  return true;
}

class Tracker;

struct XSource {
  GSource source;
  Tracker* tracker;
  gpointer fdTag;
};

class Tracker : public EwmhWindowTracker {
 public:
  explicit Tracker(Display* display)
      : display_(display), root_(DefaultRootWindow(display)), atoms_(EwmhAtoms::Intern(display)) {
    TrapErrorsOf(display_, &broken_);
    XSelectInput(display_, root_, PropertyChangeMask);
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = ReadSnapshot();
  }
  ~Tracker() override {
    if (timer_ != nullptr) g_source_destroy(timer_);
    if (source_ != nullptr) {
      g_source_destroy(&source_->source);
      g_source_unref(&source_->source);
    }
    if (context_ != nullptr) g_main_context_unref(context_);
    UntrapErrorsOf(display_);
    XCloseDisplay(display_);  // a lost display is only freed: Xlib sends nothing on it
  }

  void Start(std::function<void(const WindowSnapshot&)> changed) override;
  WindowSnapshot Snapshot() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
  }
  bool Apply(WindowOperation operation) override;
  uint32_t ServerTime() const override { return lastTime_.load(std::memory_order_relaxed); }

  bool Pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !broken_ && XQLength(display_) > 0;
  }
  bool Lost() const { return broken_; }
  void Dispatch();
  void SettleNone();

 private:
  WindowSnapshot ReadSnapshot();
  TrackedWindow ReadWindow(Window window);
  bool Matters(const XPropertyEvent& event) const;
  void SendMessage(Window window, Atom type, long a, long b, long c);
  void Report(const WindowSnapshot& snapshot);

  Display* display_;
  Window root_;
  EwmhAtoms atoms_;
  std::mutex mutex_;  // Xlib calls on display_, state_, known_
  std::atomic<bool> broken_{false};
  WindowSnapshot state_;
  std::map<Window, TrackedWindow> known_;  // properties read once per window
  std::function<void(const WindowSnapshot&)> changed_;
  GMainContext* context_ = nullptr;
  XSource* source_ = nullptr;
  GSource* timer_ = nullptr;  // the held-back None
  std::atomic<uint32_t> lastTime_{0};
};

gboolean SourcePrepare(GSource* source, gint* timeout) {
  *timeout = -1;
  return reinterpret_cast<XSource*>(source)->tracker->Pending();
}

gboolean SourceCheck(GSource* source) {
  auto* self = reinterpret_cast<XSource*>(source);
  return self->tracker->Pending() || (g_source_query_unix_fd(source, self->fdTag) & G_IO_IN) != 0;
}

gboolean SourceDispatch(GSource* source, GSourceFunc, gpointer) {
  Tracker* tracker = reinterpret_cast<XSource*>(source)->tracker;
  tracker->Dispatch();
  // A lost display's socket reads as ready for ever: stop watching it instead of spinning.
  return tracker->Lost() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

GSourceFuncs kSourceFuncs{SourcePrepare, SourceCheck, SourceDispatch, nullptr, nullptr, nullptr};

void Tracker::Start(std::function<void(const WindowSnapshot&)> changed) {
  changed_ = std::move(changed);
  context_ = g_main_context_ref_thread_default();
  source_ = reinterpret_cast<XSource*>(g_source_new(&kSourceFuncs, sizeof(XSource)));
  source_->tracker = this;
  source_->fdTag = g_source_add_unix_fd(&source_->source, ConnectionNumber(display_), G_IO_IN);
  g_source_attach(&source_->source, context_);
}

bool Tracker::Matters(const XPropertyEvent& event) const {
  // Titles and the like change all the time; only these say something about applications.
  const Atom atom = event.atom;
  if (event.window == root_) return atom == atoms_.clientList || atom == atoms_.activeWindow;
  return atom == atoms_.wmState || atom == atoms_.windowType || atom == atoms_.gtkApplicationId ||
         atom == atoms_.wmPid || atom == XA_WM_CLASS;
}

TrackedWindow Tracker::ReadWindow(Window window) {
  TrackedWindow tracked;
  tracked.id = window;
  // Changes of state and identity on the window are followed from now on.
  XSelectInput(display_, window, PropertyChangeMask);
  XClassHint hint{};
  if (XGetClassHint(display_, window, &hint)) {
    tracked.wmInstance = hint.res_name != nullptr ? hint.res_name : "";
    tracked.wmClass = hint.res_class != nullptr ? hint.res_class : "";
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
  }
  tracked.appId = Utf8Property(display_, window, atoms_.gtkApplicationId, atoms_.utf8String);
  tracked.pid = static_cast<int>(CardinalProperty(display_, window, atoms_.wmPid, 0));
  tracked.executable = ExecutableOfPid(tracked.pid);
  for (Atom state : AtomListProperty(display_, window, atoms_.wmState)) {
    if (state == atoms_.skipTaskbar) tracked.skipTaskbar = true;
  }
  for (Atom type : AtomListProperty(display_, window, atoms_.windowType)) {
    if (type == atoms_.typeDock || type == atoms_.typeDesktop) tracked.skipTaskbar = true;
  }
  return tracked;
}

WindowSnapshot Tracker::ReadSnapshot() {
  WindowSnapshot snapshot;
  std::map<Window, TrackedWindow> still;
  for (Window window : WindowListProperty(display_, root_, atoms_.clientList)) {
    auto found = known_.find(window);
    TrackedWindow tracked = found != known_.end() ? found->second : ReadWindow(window);
    still.emplace(window, tracked);
    snapshot.windows.push_back(std::move(tracked));
  }
  known_ = std::move(still);
  snapshot.activeId = WindowProperty(display_, root_, atoms_.activeWindow);
  return snapshot;
}

void Tracker::Dispatch() {
  WindowSnapshot fresh;
  bool report = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (broken_) return;
    bool reread = false;
    do {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != PropertyNotify) continue;
        lastTime_.store(static_cast<uint32_t>(event.xproperty.time), std::memory_order_relaxed);
        if (!Matters(event.xproperty)) continue;
        if (event.xproperty.window != root_) known_.erase(event.xproperty.window);
        reread = true;
      }
      if (reread) fresh = ReadSnapshot();  // may queue more events: look again
    } while (!broken_ && XPending(display_) > 0);
    if (!reread || broken_) return;
    if (fresh.activeId == 0 && state_.activeId != 0) {
      // Held back: reported only if no window becomes active meanwhile.
      fresh.activeId = state_.activeId;
      if (timer_ == nullptr) {
        timer_ = g_timeout_source_new(kNoneSettleMs);
        g_source_set_callback(
            timer_,
            [](gpointer self) {
              static_cast<Tracker*>(self)->SettleNone();
              return G_SOURCE_REMOVE;
            },
            this, nullptr);
        g_source_attach(timer_, context_);
        g_source_unref(timer_);
      }
    } else if (timer_ != nullptr) {
      g_source_destroy(timer_);
      timer_ = nullptr;
    }
    report = !SameSnapshot(fresh, state_);
    if (report) state_ = fresh;
  }
  if (report) Report(fresh);
}

void Tracker::SettleNone() {
  WindowSnapshot settled;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timer_ = nullptr;
    if (broken_) return;
    Window active = WindowProperty(display_, root_, atoms_.activeWindow);
    if (active != 0 || state_.activeId == 0) return;  // Dispatch reports any real change
    state_.activeId = 0;
    settled = state_;
  }
  Report(settled);
}

void Tracker::Report(const WindowSnapshot& snapshot) {
  if (changed_) changed_(snapshot);
}

void Tracker::SendMessage(Window window, Atom type, long a, long b, long c) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = a;
  event.xclient.data.l[1] = b;
  event.xclient.data.l[2] = c;
  event.xclient.data.l[3] = 2;  // the request comes from a pager-like tool
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

bool Tracker::Apply(WindowOperation operation) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (broken_) return false;
    const Window active = state_.activeId;
    const long time = lastTime_.load(std::memory_order_relaxed);
    switch (operation) {
      case WindowOperation::kMinimize:
        if (active == 0) return false;
        XIconifyWindow(display_, active, DefaultScreen(display_));
        break;
      case WindowOperation::kMaximize:
        if (active == 0) return false;
        SendMessage(active, atoms_.wmState, 2 /* toggle */, static_cast<long>(atoms_.maximizedVert),
                    static_cast<long>(atoms_.maximizedHorz));
        break;
      case WindowOperation::kClose:
        if (active == 0) return false;
        SendMessage(active, atoms_.closeWindow, time, 2, 0);
        break;
      case WindowOperation::kShowDesktop: {
        long showing = CardinalProperty(display_, root_, atoms_.showingDesktop, 0);
        SendMessage(root_, atoms_.showingDesktop, showing != 0 ? 0 : 1, 0, 0);
        break;
      }
    }
    XFlush(display_);
  }
  // A round trip above may have queued events the descriptor no longer announces.
  if (context_ != nullptr) g_main_context_wakeup(context_);
  return true;
}

}  // namespace

std::unique_ptr<EwmhWindowTracker> OpenEwmhWindowTracker(const char* display) {
  Display* opened = XOpenDisplay(display);
  if (opened == nullptr) {
    Log("windows: cannot open X display \"%s\"; running applications are not followed",
        display != nullptr ? display : "");
    return nullptr;
  }
  return std::make_unique<Tracker>(opened);
}

}  // namespace hovra::platform::linux_desktop
