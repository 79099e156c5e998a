// A private D-Bus bus daemon for one test, with its own configuration and service folder:
// nothing of the machine's own buses or activatable services is seen.
#pragma once

#include <memory>
#include <string>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

class PrivateBus {
 public:
  enum Kind { kSession, kSystem };

  static bool Available() { return ProgramExists("dbus-daemon"); }

  explicit PrivateBus(Kind kind);

  bool Running() const { return !address_.empty(); }
  const std::string& Address() const { return address_; }
  // The environment variable that points a program at this bus.
  std::pair<std::string, std::string> Variable() const {
    return {kind_ == kSession ? "DBUS_SESSION_BUS_ADDRESS" : "DBUS_SYSTEM_BUS_ADDRESS", address_};
  }

 private:
  Kind kind_;
  TempDir dir_;
  std::string address_;
  std::unique_ptr<ServiceProcess> daemon_;
};

}  // namespace hovra::testing
