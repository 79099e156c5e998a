#include "tests/support/desktop/pulse_server.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace hovra::testing {

PulseServer::PulseServer() : dir_(MakeTempDir("hovra-pulse")) {
  std::filesystem::create_directories(dir_ + "/runtime");
  std::filesystem::create_directories(dir_ + "/home");
  ::chmod((dir_ + "/runtime").c_str(), 0700);
  ready_ = Start();
}

PulseServer::~PulseServer() {
  Stop();
  RemoveTree(dir_);
}

bool PulseServer::Start() {
  daemon_ = std::make_unique<ServiceProcess>(ServiceOptions{
      .argv = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=hovra_a",
               "-L", "module-null-sink sink_name=hovra_b"},
      .env = {{"XDG_RUNTIME_DIR", dir_ + "/runtime"},
              {"HOME", dir_ + "/home"},
              {"DBUS_SESSION_BUS_ADDRESS", ""},
              {"PULSE_SERVER", ""}},
      .output = dir_ + "/log"});
  return WaitUntil([&] { return Pactl({"info"}) || !daemon_->Running(); }) && daemon_->Running() &&
         Pactl({"set-default-sink", "hovra_a"});
}

void PulseServer::Stop() {
  if (daemon_) daemon_->Stop();
  ready_ = false;
}

bool PulseServer::Restart() {
  Stop();
  ready_ = Start();
  return ready_;
}

bool PulseServer::Pactl(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{"pactl", "--server=" + Address()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunTool(argv).exitCode == 0;
}

std::optional<int> PulseServer::VolumePercent(const std::string& sink) const {
  ToolResult r = RunTool({"pactl", "--server=" + Address(), "get-sink-volume", sink});
  if (r.exitCode != 0) return std::nullopt;
  // "Volume: front-left: 62259 /  95% / -1.34 dB, ..." : the loudest channel's percent.
  std::optional<int> loudest;
  std::regex percent(R"((\d+)%)");
  for (auto it = std::sregex_iterator(r.output.begin(), r.output.end(), percent);
       it != std::sregex_iterator(); ++it) {
    int value = std::stoi((*it)[1]);
    loudest = std::max(loudest.value_or(0), value);
  }
  return loudest;
}

std::optional<bool> PulseServer::Muted(const std::string& sink) const {
  ToolResult r = RunTool({"pactl", "--server=" + Address(), "get-sink-mute", sink});
  if (r.exitCode != 0) return std::nullopt;
  return r.output.find("yes") != std::string::npos;
}

}  // namespace hovra::testing
