// Helper processes of the tray's D-Bus test: a child whose output goes to a file, and a
// private session bus (dbus-daemon with a configuration of the test's own, so that none of
// the machine's services can be started on it).
//   PrivateSessionBus bus;                      // bus.Address() for DBUS_SESSION_BUS_ADDRESS
//   ChildProcess watcher({"/usr/bin/python3", "sni_watcher.py", "watch"}, dir + "/watch.out");
//   watcher.WaitForOutput("ready\n", 10s);
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace hovra::testing {

class ChildProcess {
 public:
  // Standard output and error go to `outputFile`.
  ChildProcess(std::vector<std::string> argv, std::string outputFile);
  ~ChildProcess();  // SIGTERM, then waits
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::string Output() const;
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds wait) const;

 private:
  pid_t pid_ = -1;
  std::string outputFile_;
};

class PrivateSessionBus {
 public:
  static bool Available();  // dbus-daemon is installed
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  const std::string& Address() const { return address_; }  // empty when it did not start

 private:
  std::string dir_;
  pid_t pid_ = -1;
  std::string address_;
};

// Runs `argv` to its end and returns its standard output.
std::string RunForOutput(const std::vector<std::string>& argv);

}  // namespace hovra::testing
