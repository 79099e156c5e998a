// hovra_wayland_test_client on a test sway, mapped when constructed, its lines read back.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/desktop/service_process.h"
#include "tests/support/desktop/sway_session.h"

namespace hovra::testing {

struct WaylandButton {
  unsigned code = 0;  // Linux input code (0x110 left, 0x111 right, 0x112 middle)
  bool press = false;
  double x = 0;  // surface coordinates of the pointer at the time
  double y = 0;
  friend bool operator==(const WaylandButton&, const WaylandButton&) = default;
};

struct WaylandKey {
  std::string keysym;     // the keysym's name ("a", "Return")
  std::string modifiers;  // "-" or active modifiers joined by "+" ("Shift+Control")
  friend bool operator==(const WaylandKey&, const WaylandKey&) = default;
};

class WaylandClient {
 public:
  WaylandClient(const SwaySession& sway, const std::string& appId);
  ~WaylandClient();
  bool Ready() const { return ready_; }
  void Kill() { process_.Stop(); }

  // Until the window reported `line`: "keyboard-enter" (it has the focus and a keymap),
  // "pointer-ready" (pointer events reach it), "close-requested".
  bool WaitForLine(const std::string& line, std::chrono::milliseconds wait = 5s) {
    return !TakeKind(line, 1, wait).empty();
  }
  // Waits for `count` typed characters (or the wait is over); returns what came.
  std::u32string TakeText(size_t count, std::chrono::milliseconds wait = 5s);
  std::vector<WaylandKey> TakeKeys(size_t count, std::chrono::milliseconds wait = 5s);
  std::vector<WaylandButton> TakeButtons(size_t count, std::chrono::milliseconds wait = 5s);
  // Wheel steps as (axis, steps): axis 0 vertical (positive down), 1 horizontal (positive right).
  std::vector<std::pair<unsigned, int>> TakeWheel(size_t count,
                                                  std::chrono::milliseconds wait = 5s);
  // Until the pointer is reported at (x, y) in the window (entry or motion).
  bool WaitForPointerAt(double x, double y, std::chrono::milliseconds wait = 5s);

 private:
  // Reads lines until `count` of those starting with `kind` arrived; returns their fields.
  std::vector<std::istringstream> TakeKind(const std::string& kind, size_t count,
                                           std::chrono::milliseconds wait);
  void Read(std::chrono::milliseconds wait);  // what arrives within `wait`, into pending_

  int fd_ = -1;  // the client's standard output
  ServiceProcess process_;
  bool ready_ = false;
  std::string partial_;  // a line not yet whole
  double pointerX_ = -1, pointerY_ = -1;
  std::vector<std::string> pending_;  // read, not yet taken (buttons with the position)
};

}  // namespace hovra::testing
