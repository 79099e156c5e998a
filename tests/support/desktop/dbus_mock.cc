#include "tests/support/desktop/dbus_mock.h"

#include <sstream>

#include "tests/support/desktop/bus_client.h"
#include "tests/support/server_process.h"

namespace hovra::testing {

bool DbusMock::Available() {
  static const bool available = ProgramExists(kSystemPython) &&
                                RunTool({kSystemPython, "-c", "import dbusmock"}).exitCode == 0;
  return available;
}

DbusMock::DbusMock(const DbusMockOptions& options) : dir_(MakeTempDir("hovra-mock")) {
  std::vector<std::string> argv{kSystemPython, "-m",
                                "dbusmock",    options.system ? "--system" : "--session",
                                "-l",          dir_ + "/calls"};
  if (!options.templateName.empty()) {
    argv.insert(argv.end(), {"-t", options.templateName});
    if (!options.parameters.empty()) argv.insert(argv.end(), {"-p", options.parameters});
  } else {
    argv.insert(argv.end(), {options.name, options.path, options.interface});
  }
  Environment env = options.env;
  env.emplace_back(options.system ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS",
                   options.bus);
  process_ = std::make_unique<ServiceProcess>(
      ServiceOptions{.argv = argv, .env = env, .output = dir_ + "/output"});
  ready_ = WaitUntil([&] {
             return !process_->Running() || BusClient(options.bus).HasOwner(options.name);
           }) &&
           process_->Running();
}

DbusMock::~DbusMock() {
  process_.reset();
  RemoveTree(dir_);
}

std::string DbusMock::Log() const { return ReadFile(dir_ + "/calls"); }

bool DbusMock::WaitForLog(const std::string& text, std::chrono::milliseconds wait) const {
  return WaitUntil([&] { return Log().find(text) != std::string::npos; }, wait);
}

size_t DbusMock::Calls(const std::string& method) const {
  std::istringstream in(Log());
  size_t count = 0;
  for (std::string line; std::getline(in, line);) {
    // "1796574057.380 Next" or "1796574057.443 Set /path interface.Property value"
    std::string call = line.substr(line.find(' ') + 1);
    count += call == method || call.starts_with(method + " ");
  }
  return count;
}

}  // namespace hovra::testing
