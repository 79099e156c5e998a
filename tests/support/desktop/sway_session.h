// A private headless sway for one test, ready for clients when the constructor returns:
// as an unprivileged user when this process is root (sway refuses root).
#pragma once

#include <memory>
#include <string>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

inline constexpr char kOneOutput[] = "output HEADLESS-1 resolution 1280x800 position 0 0\n";

class SwaySession {
 public:
  // Why no sway can be started here; empty when it can.
  static std::string Unavailable();

  // `config`: lines added to the test configuration (outputs, window rules); `outputs`:
  // how many headless outputs the compositor has (HEADLESS-1, HEADLESS-2, ...).
  explicit SwaySession(const std::string& config = kOneOutput, int outputs = 1);

  bool Running() const { return !display_.empty(); }
  const std::string& Display() const { return display_; }  // absolute socket path
  const std::string& RuntimeDir() const { return runtimeDir_; }
  std::string Log() const { return ReadFile(dir_ / "log"); }

  // Runs one sway command (swaymsg); true when sway carried it out.
  bool Command(const std::string& command) const;

 private:
  TempDir dir_;
  std::string runtimeDir_;
  std::string display_;
  std::string ipcSocket_;
  std::unique_ptr<ServiceProcess> sway_;
};

}  // namespace hovra::testing
