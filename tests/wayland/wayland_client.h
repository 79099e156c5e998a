// hovra_wayland_test_client on a test sway, mapped when constructed, its lines read back.
#pragma once

#include <map>
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
  // Until the pointer was last reported at (x, y) in the window (entry or motion).
  bool WaitForPointerAt(double x, double y, std::chrono::milliseconds wait = 5s);

 private:
  struct Output {
    std::vector<std::string> lines;  // each button with where the pointer was when it came
    double x = -1, y = -1;           // where the pointer was last reported
  };
  Output Read() const;  // every whole line written so far
  // Waits until `count` lines of `kind` not taken before arrived; takes and returns their fields.
  std::vector<std::istringstream> TakeKind(const std::string& kind, size_t count,
                                           std::chrono::milliseconds wait);

  TempDir dir_;
  ServiceProcess process_;
  bool ready_ = false;
  std::map<std::string, size_t> taken_;  // lines of each kind taken so far
};

}  // namespace hovra::testing
