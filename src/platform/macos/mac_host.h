// The computer's facts on macOS: the user-visible computer name and the product version
// from the system; addresses, user and home as on every POSIX system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/posix/system_host.h"

namespace hovra::platform::macos {

struct OsVersion {  // NSOperatingSystemVersion
  int64_t major = 0;
  int64_t minor = 0;
  int64_t patch = 0;
};

class HostCalls {
 public:
  virtual ~HostCalls() = default;
  virtual std::string LocalizedHostName() = 0;  // NSHost's localizedName; empty when none
  virtual OsVersion OperatingSystemVersion() = 0;
};

// As the system writes it: "14.2", "14.2.1"; "13.0" for a major release.
std::string ProductVersionText(const OsVersion& version);

class MacHost : public posix::SystemHost {
 public:
  explicit MacHost(HostCalls& calls) : calls_(calls) {}
  std::string MachineName() override;
  std::string OsProductVersion() override;

 private:
  HostCalls& calls_;
};

}  // namespace hovra::platform::macos
