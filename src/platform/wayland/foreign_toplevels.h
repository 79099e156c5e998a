// Window tracking on wlroots compositors through the foreign-toplevel protocol: every
// top-level window's app id, which one is activated, and which have closed. A thread of
// its own reads the compositor (its own connection); changes reach the main thread as
// whole snapshots, only when something changed. Minimise, maximise and close act on the
// activated window through the same protocol.
//   ForeignToplevelTracker tracker("", mainQueue);
//   tracker.Start([](const WindowSnapshot& s) { ... });   // on the main thread
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/window_tracker.h"
#include "platform/main_queue.h"

namespace hovra::platform::wayland {

using linux_desktop::WindowOperation;
using linux_desktop::WindowSnapshot;

class ForeignToplevelTracker : public linux_desktop::WindowTracker {
 public:
  // display: a socket name or absolute path; empty: $WAYLAND_DISPLAY.
  ForeignToplevelTracker(std::string display, MainQueue& mainQueue,
                         std::chrono::milliseconds reconnectInterval = std::chrono::seconds(2));
  ~ForeignToplevelTracker() override;

  void Start(std::function<void(const WindowSnapshot&)> changed) override;
  WindowSnapshot Snapshot() override;
  bool Apply(WindowOperation operation) override;

  struct State;

 private:
  void Run();

  std::unique_ptr<State> state_;
  MainQueue& mainQueue_;
  std::thread thread_;
  int wake_[2] = {-1, -1};  // written to end the thread
};

// Whether the compositor of `display` (empty: $WAYLAND_DISPLAY) lists its windows through
// the foreign-toplevel protocol; one short connection.
bool WaylandHasForeignToplevels(const std::string& display);

}  // namespace hovra::platform::wayland
