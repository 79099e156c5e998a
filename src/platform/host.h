// Facts about the computer and the program.
#pragma once

#include <string>
#include <vector>

namespace hovra::platform {

class Host {
 public:
  virtual ~Host() = default;
  virtual std::string MachineName() = 0;             // user-visible, UTF-8
  virtual std::vector<std::string> Addresses() = 0;  // both families, as text
  virtual std::string OsProductVersion() = 0;        // empty when unknown
  virtual std::string UserName() = 0;
  virtual std::string HomeDirectory() = 0;
  virtual std::string AppVersion() = 0;
};

}  // namespace hovra::platform
