// The real facts of a POSIX computer: host name, interface addresses, OS version, user.
#pragma once

#include "platform/host.h"

namespace hovra::platform::posix {

class SystemHost : public Host {
 public:
  std::string MachineName() override;
  std::vector<std::string> Addresses() override;
  std::string OsProductVersion() override;
  std::string UserName() override;
  std::string HomeDirectory() override;
  std::string AppVersion() override;
};

}  // namespace hovra::platform::posix
