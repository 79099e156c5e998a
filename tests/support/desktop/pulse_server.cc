#include "tests/support/desktop/pulse_server.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace hovra::testing {

bool PulseServer::Restart() {
  daemon_.reset();
  std::filesystem::create_directories(dir_ / "home");
  std::filesystem::create_directories(dir_ / "runtime");
  ::chmod((dir_ / "runtime").c_str(), 0700);
  daemon_ = std::make_unique<ServiceProcess>(ServiceOptions{
      .argv = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=hovra_a",
               "-L", "module-null-sink sink_name=hovra_b"},
      .env = {{"XDG_RUNTIME_DIR", dir_ / "runtime"},
              {"HOME", dir_ / "home"},
              {"DBUS_SESSION_BUS_ADDRESS", ""},
              {"PULSE_SERVER", ""}},
      .output = dir_ / "log"});
  ready_ =
      daemon_->WaitReady([&] { return Pactl({"info"}); }) && Pactl({"set-default-sink", "hovra_a"});
  return ready_;
}

ToolResult PulseServer::Run(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{"pactl", "--server=" + Address()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunTool(argv);
}

std::optional<int> PulseServer::VolumePercent(const std::string& sink) const {
  ToolResult r = Run({"get-sink-volume", sink});
  if (r.exitCode != 0) return std::nullopt;
  // "Volume: front-left: 62259 /  95% / -1.34 dB, ..." : the loudest channel's percent.
  std::optional<int> loudest;
  std::regex percent(R"((\d+)%)");
  for (auto it = std::sregex_iterator(r.output.begin(), r.output.end(), percent);
       it != std::sregex_iterator(); ++it) {
    loudest = std::max(loudest.value_or(0), std::stoi((*it)[1]));
  }
  return loudest;
}

std::optional<bool> PulseServer::Muted(const std::string& sink) const {
  ToolResult r = Run({"get-sink-mute", sink});
  if (r.exitCode != 0) return std::nullopt;
  return r.output.find("yes") != std::string::npos;
}

}  // namespace hovra::testing
