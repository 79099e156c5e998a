// A real PulseAudio server for one test, with its own runtime and home folders and two
// null sinks ("hovra_a", the default, and "hovra_b"); read and set through pactl.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

class PulseServer {
 public:
  static bool Available() { return ProgramExists("pulseaudio") && ProgramExists("pactl"); }

  PulseServer() { Restart(); }

  bool Running() const { return ready_; }
  std::string Address() const { return "unix:" + dir_ / "runtime/pulse/native"; }

  // Ends the server and starts a new one on the same address (a sound server restart).
  bool Restart();

  bool Pactl(const std::vector<std::string>& args) const { return Run(args).exitCode == 0; }
  // The sink's volume (its loudest channel) in percent; none when it cannot be read.
  std::optional<int> VolumePercent(const std::string& sink = "@DEFAULT_SINK@") const;
  std::optional<bool> Muted(const std::string& sink = "@DEFAULT_SINK@") const;

 private:
  ToolResult Run(const std::vector<std::string>& args) const;
  TempDir dir_;
  std::unique_ptr<ServiceProcess> daemon_;
  bool ready_ = false;
};

}  // namespace hovra::testing
