// The fake desktop portal (fake_portal.py) on a private session bus of its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/desktop/private_bus.h"
#include "tests/support/server_process.h"

namespace hovra::testing {

class FakePortal {
 public:
  static std::string Unavailable() {
    if (!PrivateBus::Available()) return "dbus-daemon is not installed";
    if (RunTool({HOVRA_PYTHON3, "-c", "import dbus, gi"}).exitCode != 0)
      return "python3-dbus or python3-gi is not installed";
    return "";
  }

  explicit FakePortal(std::vector<std::string> options) : dir_(MakeTempDir("hovra-portal")) {
    if (!bus_.Running()) return;
    std::vector<std::string> argv = {HOVRA_PYTHON3, HOVRA_FAKE_PORTAL, "--log", Log()};
    argv.insert(argv.end(), options.begin(), options.end());
    portal_ = std::make_unique<ServiceProcess>(
        ServiceOptions{.argv = argv, .env = {bus_.Variable()}, .output = dir_ + "/output"});
    ready_ = portal_->WaitForLine("ready").has_value();
  }
  ~FakePortal() {
    portal_.reset();
    RemoveTree(dir_);
  }

  bool Running() const { return ready_; }
  const std::string& Address() const { return bus_.Address(); }
  std::string Log() const { return dir_ + "/calls"; }  // the log's path
  bool Logged(const std::string& text) const {
    return WaitUntil([&] { return ReadFile(Log()).find(text) != std::string::npos; }, 5s);
  }

 private:
  PrivateBus bus_{PrivateBus::kSession};
  std::string dir_;
  std::unique_ptr<ServiceProcess> portal_;
  bool ready_ = false;
};

}  // namespace hovra::testing
