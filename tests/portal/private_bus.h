// A private D-Bus session bus for one test, with no service of the host's on it: started
// when constructed (its address known), ended by the destructor.
//   PrivateBus bus;  ASSERT_TRUE(bus.Running());  ... bus.Address() ...
#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace hovra::testing {

class PrivateBus {
 public:
  static bool Available();  // dbus-daemon is installed

  PrivateBus();
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Running() const { return !address_.empty(); }
  const std::string& Address() const { return address_; }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
  std::string address_;
  std::unique_ptr<LineReader> daemon_;
};

}  // namespace hovra::testing
