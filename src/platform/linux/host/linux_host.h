// The facts of a Linux computer: those of any POSIX system, but the machine's name is the
// pretty host name that systemd-hostnamed keeps (followed while it changes) where one is
// set, which also reaches a sandboxed server.
#pragma once

#include <gio/gio.h>

#include <atomic>

#include "platform/posix/system_host.h"

namespace hovra::platform::linux_desktop {

class LinuxHost : public posix::SystemHost {
 public:
  // Connects to hostnamed asynchronously, in the calling thread's main context.
  LinuxHost();
  ~LinuxHost() override;
  LinuxHost(const LinuxHost&) = delete;
  LinuxHost& operator=(const LinuxHost&) = delete;

  std::string MachineName() override;  // any thread

  void Adopt(GDBusProxy* proxy);

 private:
  GCancellable* cancellable_ = nullptr;
  GDBusProxy* hostnamed_ = nullptr;  // set once on the main thread, read by the worker
  std::atomic<bool> ready_{false};
};

}  // namespace hovra::platform::linux_desktop
