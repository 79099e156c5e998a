// Waking from sleep, as logind announces it on the system bus (PrepareForSleep with
// false). Connects asynchronously; without a system bus there are simply no notices.
#pragma once

#include <gio/gio.h>

#include <functional>

namespace hovra::platform::linux_desktop {

class SleepWatch {
 public:
  // `woke` runs in the calling thread's main context. `bus`: a connection to use instead
  // of the system bus (tests); null connects to the system bus.
  SleepWatch(std::function<void()> woke, GDBusConnection* bus = nullptr);
  ~SleepWatch();
  SleepWatch(const SleepWatch&) = delete;
  SleepWatch& operator=(const SleepWatch&) = delete;

  void Subscribe(GDBusConnection* bus);
  void Woke() {
    if (woke_) woke_();
  }

 private:
  std::function<void()> woke_;
  GCancellable* cancellable_ = nullptr;
  GDBusConnection* bus_ = nullptr;
  guint subscription_ = 0;
};

}  // namespace hovra::platform::linux_desktop
