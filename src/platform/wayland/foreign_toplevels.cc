#include "platform/wayland/foreign_toplevels.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/log.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

namespace hovra::platform::wayland {
namespace {

using linux_desktop::TrackedWindow;

constexpr uint32_t kManagerVersion = 3;

struct Toplevel {
  ~Toplevel() { zwlr_foreign_toplevel_handle_v1_destroy(handle); }
  zwlr_foreign_toplevel_handle_v1* handle = nullptr;
  uint64_t id = 0;
  std::string appId;
  bool activated = false;
  bool maximized = false;
  bool described = false;  // a first "done" came: the window is complete
};

bool SameWindows(const WindowSnapshot& a, const WindowSnapshot& b) {
  if (a.activeId != b.activeId || a.windows.size() != b.windows.size()) return false;
  for (size_t i = 0; i < a.windows.size(); ++i) {
    if (a.windows[i].id != b.windows[i].id || a.windows[i].appId != b.windows[i].appId)
      return false;
  }
  return true;
}

}  // namespace

struct ForeignToplevelTracker::State {
  std::string name;
  std::chrono::milliseconds retry;

  std::mutex mutex;  // the fields below: read by Snapshot() and Apply() on other threads
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager = nullptr;
  std::vector<std::unique_ptr<Toplevel>> toplevels;  // in the order they appeared
  uint64_t nextId = 1;
  std::function<void(const WindowSnapshot&)> changed;
  WindowSnapshot delivered;
  bool everConnected = false;
  LogOnce lost;

  WindowSnapshot MakeSnapshot() const;  // under the lock
  bool Connect();
  void Disconnect();
};

namespace {

using State = ForeignToplevelTracker::State;

struct HandleData {
  State* state;
  Toplevel* toplevel;
};

Toplevel* Find(State* state, zwlr_foreign_toplevel_handle_v1* handle) {
  for (auto& toplevel : state->toplevels) {
    if (toplevel->handle == handle) return toplevel.get();
  }
  return nullptr;
}

void OnTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void OnAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId) {
  auto* state = static_cast<State*>(data);
  std::lock_guard lock(state->mutex);
  if (Toplevel* toplevel = Find(state, handle)) toplevel->appId = appId;
}
void OnOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void OnOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void OnState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* states) {
  auto* state = static_cast<State*>(data);
  std::lock_guard lock(state->mutex);
  Toplevel* toplevel = Find(state, handle);
  if (toplevel == nullptr) return;
  toplevel->activated = toplevel->maximized = false;
  const auto* entries = static_cast<const uint32_t*>(states->data);
  for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
    if (entries[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) toplevel->activated = true;
    if (entries[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MAXIMIZED) toplevel->maximized = true;
  }
}
void OnDone(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
  auto* state = static_cast<State*>(data);
  std::lock_guard lock(state->mutex);
  if (Toplevel* toplevel = Find(state, handle)) toplevel->described = true;
}
void OnClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
  auto* state = static_cast<State*>(data);
  std::lock_guard lock(state->mutex);
  std::erase_if(state->toplevels, [&](const auto& toplevel) { return toplevel->handle == handle; });
}
void OnParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
constexpr zwlr_foreign_toplevel_handle_v1_listener kHandleListener{
    OnTitle, OnAppId, OnOutputEnter, OnOutputLeave, OnState, OnDone, OnClosed, OnParent};

void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                zwlr_foreign_toplevel_handle_v1* handle) {
  auto* state = static_cast<State*>(data);
  zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, state);
  std::lock_guard lock(state->mutex);
  auto toplevel = std::make_unique<Toplevel>();
  toplevel->handle = handle;
  toplevel->id = state->nextId++;
  state->toplevels.push_back(std::move(toplevel));
}
void OnFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
  static_cast<State*>(data)->manager = nullptr;  // the compositor sends nothing more
}
constexpr zwlr_foreign_toplevel_manager_v1_listener kManagerListener{OnToplevel, OnFinished};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
  auto* state = static_cast<State*>(data);
  if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0) return;
  if (state->manager != nullptr) return;
  state->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
      wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                       std::min(version, kManagerVersion)));
  zwlr_foreign_toplevel_manager_v1_add_listener(state->manager, &kManagerListener, state);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

}  // namespace

WindowSnapshot State::MakeSnapshot() const {
  WindowSnapshot snapshot;
  for (const auto& toplevel : toplevels) {
    if (!toplevel->described) continue;
    TrackedWindow window;
    window.id = toplevel->id;
    window.appId = toplevel->appId;
    snapshot.windows.push_back(window);
    if (toplevel->activated && snapshot.activeId == 0) snapshot.activeId = toplevel->id;
  }
  return snapshot;
}

bool State::Connect() {
  const char* env = std::getenv("WAYLAND_DISPLAY");
  if (name.empty() && env == nullptr) return false;
  wl_display* connection = wl_display_connect(name.empty() ? nullptr : name.c_str());
  if (connection == nullptr) return false;
  {
    std::lock_guard lock(mutex);
    display = connection;
  }
  registry = wl_display_get_registry(connection);
  wl_registry_add_listener(registry, &kRegistryListener, this);
  if (wl_display_roundtrip(connection) < 0 || manager == nullptr) {
    if (!everConnected) {
      Log("Wayland display \"%s\" does not list its windows (no foreign-toplevel protocol); "
          "running applications are not followed",
          name.c_str());
    }
    Disconnect();
    return false;
  }
  if (everConnected)
    Log("Wayland display \"%s\" is back; windows are followed again", name.c_str());
  everConnected = true;
  lost.Rearm();
  return true;
}

void State::Disconnect() {
  std::lock_guard lock(mutex);
  if (display == nullptr) return;
  toplevels.clear();
  if (manager != nullptr) zwlr_foreign_toplevel_manager_v1_destroy(manager);
  manager = nullptr;
  if (registry != nullptr) wl_registry_destroy(registry);
  registry = nullptr;
  wl_display_disconnect(display);
  display = nullptr;
}

ForeignToplevelTracker::ForeignToplevelTracker(std::string display, MainQueue& mainQueue,
                                               std::chrono::milliseconds reconnectInterval)
    : state_(std::make_unique<State>()), mainQueue_(mainQueue) {
  state_->name = std::move(display);
  state_->retry = reconnectInterval;
}

ForeignToplevelTracker::~ForeignToplevelTracker() {
  if (thread_.joinable()) {
    char stop = 1;
    (void)::write(wake_[1], &stop, 1);
    thread_.join();
  }
  for (int fd : wake_) {
    if (fd >= 0) ::close(fd);
  }
  state_->Disconnect();
}

void ForeignToplevelTracker::Start(std::function<void(const WindowSnapshot&)> changed) {
  if (thread_.joinable()) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->changed = std::move(changed);
  }
  if (::pipe2(wake_, O_CLOEXEC) != 0) {
    Log("cannot start following Wayland windows: %s", std::strerror(errno));
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

void ForeignToplevelTracker::Run() {
  State& s = *state_;
  for (;;) {
    if (s.display == nullptr && !s.Connect()) {
      pollfd wake{wake_[0], POLLIN, 0};
      if (::poll(&wake, 1, static_cast<int>(s.retry.count())) > 0) return;
      continue;
    }
    while (wl_display_prepare_read(s.display) != 0) wl_display_dispatch_pending(s.display);
    wl_display_flush(s.display);
    pollfd fds[2] = {{wl_display_get_fd(s.display), POLLIN, 0}, {wake_[0], POLLIN, 0}};
    ::poll(fds, 2, -1);
    if (fds[1].revents != 0) {
      wl_display_cancel_read(s.display);
      return;
    }
    if ((fds[0].revents & POLLIN) != 0) {
      wl_display_read_events(s.display);
    } else {
      wl_display_cancel_read(s.display);
    }
    bool broken =
        wl_display_dispatch_pending(s.display) < 0 || (fds[0].revents & (POLLERR | POLLHUP)) != 0;
    if (broken) {
      if (s.lost.First())
        Log("lost the connection to Wayland display \"%s\"; windows are not followed",
            s.name.c_str());
      s.Disconnect();
    }
    // One snapshot per batch of events: an activation moving between two windows is one change.
    std::lock_guard lock(s.mutex);
    WindowSnapshot now = s.MakeSnapshot();
    if (SameWindows(now, s.delivered)) continue;
    s.delivered = now;
    if (s.changed) mainQueue_.Post([changed = s.changed, now] { changed(now); });
  }
}

WindowSnapshot ForeignToplevelTracker::Snapshot() {
  std::lock_guard lock(state_->mutex);
  return state_->MakeSnapshot();
}

bool ForeignToplevelTracker::Apply(WindowOperation operation) {
  std::lock_guard lock(state_->mutex);
  if (state_->display == nullptr) return false;
  bool done = false;
  for (const auto& toplevel : state_->toplevels) {
    if (operation == WindowOperation::kShowDesktop) {
      zwlr_foreign_toplevel_handle_v1_set_minimized(toplevel->handle);
      done = true;
      continue;
    }
    if (!toplevel->activated) continue;
    switch (operation) {
      case WindowOperation::kMinimize:
        zwlr_foreign_toplevel_handle_v1_set_minimized(toplevel->handle);
        break;
      case WindowOperation::kMaximize:
        if (toplevel->maximized) {
          zwlr_foreign_toplevel_handle_v1_unset_maximized(toplevel->handle);
        } else {
          zwlr_foreign_toplevel_handle_v1_set_maximized(toplevel->handle);
        }
        break;
      default:
        zwlr_foreign_toplevel_handle_v1_close(toplevel->handle);
        break;
    }
    done = true;
    break;
  }
  wl_display_flush(state_->display);
  return done;
}

bool WaylandHasForeignToplevels(const std::string& display) {
  const char* env = std::getenv("WAYLAND_DISPLAY");
  if (display.empty() && env == nullptr) return false;
  wl_display* connection = wl_display_connect(display.empty() ? nullptr : display.c_str());
  if (connection == nullptr) return false;
  bool found = false;
  wl_registry* registry = wl_display_get_registry(connection);
  static constexpr wl_registry_listener kProbe{
      [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
        if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
          *static_cast<bool*>(data) = true;
        }
      },
      [](void*, wl_registry*, uint32_t) {}};
  wl_registry_add_listener(registry, &kProbe, &found);
  wl_display_roundtrip(connection);
  wl_registry_destroy(registry);
  wl_display_disconnect(connection);
  return found;
}

}  // namespace hovra::platform::wayland
