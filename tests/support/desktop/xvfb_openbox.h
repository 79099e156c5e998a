// A private X display with a window manager that speaks EWMH: Xvfb plus openbox, both
// started for one test and ended with it. Ready when the constructor returns (openbox has
// announced itself on the root window).
//   XvfbOpenbox desktop;
//   if (!desktop.Running()) GTEST_SKIP() << desktop.WhyNot();
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "tests/x11/xvfb_display.h"

namespace hovra::testing {

class XvfbOpenbox {
 public:
  XvfbOpenbox();
  ~XvfbOpenbox();
  XvfbOpenbox(const XvfbOpenbox&) = delete;
  XvfbOpenbox& operator=(const XvfbOpenbox&) = delete;

  bool Running() const { return why_.empty(); }
  const std::string& WhyNot() const { return why_; }
  std::string Name() const { return xvfb_ ? xvfb_->Name() : ""; }
  // Runs an X tool (wmctrl, xprop ...) against this display; true when it exits with 0.
  bool Run(const std::string& tool, const std::vector<std::string>& args) const;

 private:
  std::unique_ptr<XvfbDisplay> xvfb_;
  pid_t openbox_ = -1;
  std::string why_;
};

}  // namespace hovra::testing
