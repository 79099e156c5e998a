// A private X display for one test: Xvfb on a free display number (or a given one), with
// openbox as an EWMH window manager when asked, ready when the constructor returns.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/desktop/service_process.h"

namespace hovra::testing {

class XvfbDisplay {
 public:
  enum Manager { kBare, kWithWindowManager };

  // number < 0: any free display number.
  explicit XvfbDisplay(Manager manager = kBare, int number = -1);

  bool Running() const { return why_.empty(); }
  const std::string& WhyNot() const { return why_; }
  int Number() const { return number_; }
  std::string Name() const { return ":" + std::to_string(number_); }
  void Stop() {  // ends the server now (a display that goes away)
    openbox_.reset();
    xvfb_.reset();
  }

  // Runs an X tool (xrandr, setxkbmap, wmctrl, xprop ...) on this display; true on exit 0.
  bool Run(const std::string& tool, const std::vector<std::string>& args) const;

 private:
  bool StartWindowManager();

  TempDir dir_;
  int number_ = -1;
  std::unique_ptr<ServiceProcess> xvfb_;
  std::unique_ptr<ServiceProcess> openbox_;
  std::string why_;
};

}  // namespace hovra::testing
