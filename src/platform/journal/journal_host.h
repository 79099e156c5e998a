// Host facts of the journal backend: the simulated desktop's values where it gives them,
// the real computer's otherwise.
#pragma once

#include "platform/journal/sim_desktop.h"
#include "platform/posix/system_host.h"

namespace hovra::platform::journal {

class JournalHost : public Host {
 public:
  explicit JournalHost(const SimDesktop& desktop) : config_(desktop.Config()) {}

  std::string MachineName() override { return config_.machineName.value_or(real_.MachineName()); }
  std::vector<std::string> Addresses() override {
    return config_.addresses ? *config_.addresses : real_.Addresses();
  }
  std::string OsProductVersion() override {
    return config_.osVersion.value_or(real_.OsProductVersion());
  }
  std::string UserName() override { return config_.userName.value_or(real_.UserName()); }
  std::string HomeDirectory() override { return config_.home.value_or(real_.HomeDirectory()); }
  std::string AppVersion() override { return real_.AppVersion(); }

 private:
  const SimConfig& config_;
  posix::SystemHost real_;
};

}  // namespace hovra::platform::journal
