#include "tests/portal/private_bus.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace hovra::testing {

bool PrivateBus::Available() {
  return ::access("/usr/bin/dbus-daemon", X_OK) == 0 || ::access("/bin/dbus-daemon", X_OK) == 0;
}

PrivateBus::PrivateBus() {
  char pattern[] = "/tmp/hovra-portal-bus-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  std::filesystem::create_directory(dir_ + "/services");
  std::ofstream(dir_ + "/bus.conf")
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n  <type>session</type>\n"
      << "  <listen>unix:dir=" << dir_ << "</listen>\n"
      << "  <auth>EXTERNAL</auth>\n  <servicedir>" << dir_ << "/services</servicedir>\n"
      << "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
  daemon_ = std::make_unique<LineReader>(
      std::vector<std::string>{"dbus-daemon", "--nofork", "--config-file=" + dir_ + "/bus.conf",
                               "--print-address=1"},
      std::vector<std::string>{});
  std::optional<std::string> address =
      daemon_->WaitFor([](const std::string& line) { return line.starts_with("unix:"); }, 10s);
  if (address) address_ = *address;
}

PrivateBus::~PrivateBus() {
  daemon_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace hovra::testing
