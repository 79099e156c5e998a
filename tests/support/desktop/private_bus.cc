#include "tests/support/desktop/private_bus.h"

#include <filesystem>
#include <fstream>

namespace hovra::testing {

PrivateBus::PrivateBus(Kind kind) : kind_(kind) {
  std::filesystem::create_directories(dir_ / "services");
  std::ofstream(dir_ / "bus.conf")
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n"
      << "  <type>" << (kind == kSession ? "session" : "system") << "</type>\n"
      << "  <listen>unix:dir=" << dir_.path().string() << "</listen>\n"
      << "  <auth>EXTERNAL</auth>\n"
      << "  <servicedir>" << dir_ / "services"
      << "</servicedir>\n"
      << "  <policy context=\"default\">\n"
         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n"
         "    <allow own=\"*\"/>\n"
         "    <allow user=\"*\"/>\n"
         "  </policy>\n"
         "</busconfig>\n";
  daemon_ = std::make_unique<ServiceProcess>(
      ServiceOptions{.argv = {"dbus-daemon", "--nofork", "--config-file=" + dir_ / "bus.conf",
                              "--print-address=1"},
                     .env = {},
                     .output = dir_ / "address"});
  daemon_->WaitReady([&] {
    std::string text = ReadFile(dir_ / "address");
    if (size_t end = text.find('\n'); end != std::string::npos) address_ = text.substr(0, end);
    return !address_.empty();
  });
}

}  // namespace hovra::testing
