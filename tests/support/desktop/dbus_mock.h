// A python3-dbusmock service on a private bus: a template (logind, notification_daemon,
// gnome_screensaver, or a template file of the tests), or a bare named object. Every call
// it receives is written to its log, which tests read. Runs under the system's python3,
// where the Debian package installs dbusmock.
//   auto options = DbusMockOptions::Template("logind", "org.freedesktop.login1");
//   options.bus = system.Address();
//   options.system = true;
//   DbusMock logind(options);
//   EXPECT_TRUE(logind.WaitForLog("PowerOff True"));
#pragma once

#include <memory>
#include <string>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

inline constexpr char kSystemPython[] = "/usr/bin/python3";

struct DbusMockOptions {
  std::string bus;              // the bus address
  bool system = false;          // the bus stands for the system bus
  std::string templateName;     // a dbusmock template, or the path of a template file
  std::string parameters;       // JSON for the template
  std::string name;             // the bus name it owns (waited for)
  std::string path, interface;  // of a bare object, without a template
  Environment env;              // for a template file that reads its own settings

  static DbusMockOptions Template(std::string templateName, std::string name,
                                  std::string parameters = {}) {
    DbusMockOptions o;
    o.templateName = std::move(templateName);
    o.name = std::move(name);
    o.parameters = std::move(parameters);
    return o;
  }
  static DbusMockOptions Object(std::string name, std::string path, std::string interface) {
    DbusMockOptions o;
    o.name = std::move(name);
    o.path = std::move(path);
    o.interface = std::move(interface);
    return o;
  }
};

class DbusMock {
 public:
  static bool Available();  // python3-dbusmock is installed

  explicit DbusMock(const DbusMockOptions& options);
  ~DbusMock();
  DbusMock(const DbusMock&) = delete;
  DbusMock& operator=(const DbusMock&) = delete;

  bool Running() const { return ready_; }
  std::string Log() const;
  bool WaitForLog(const std::string& text, std::chrono::milliseconds wait = 10s) const;
  // Calls of `method` in the log ("Next", "Set"), whatever their arguments.
  size_t Calls(const std::string& method) const;

 private:
  std::string dir_;
  std::unique_ptr<ServiceProcess> process_;
  bool ready_ = false;
};

}  // namespace hovra::testing
