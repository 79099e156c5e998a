// hovra_wayland_test_client on a test sway, mapped when constructed, its lines read back.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/desktop/service_process.h"
#include "tests/support/desktop/sway_session.h"

namespace hovra::testing {

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
  // Waits until `count` lines of `kind` came (or the wait is over); takes and returns their
  // fields: "char" (code point), "key" (keysym name, modifiers "-" or "Shift+Control"),
  // "button" (Linux code, 1|0, the pointer's x and y then), "discrete" (axis 0 vertical or
  // 1 horizontal, steps: positive down or right).
  template <class... Fields>
  std::vector<std::tuple<Fields...>> Take(const std::string& kind, size_t count,
                                          std::chrono::milliseconds wait = 5s) {
    std::vector<std::tuple<Fields...>> taken;
    for (auto& in : TakeKind(kind, count, wait)) {
      std::apply([&](auto&... field) { (in >> ... >> field); }, taken.emplace_back());
    }
    return taken;
  }
  std::u32string TakeText(size_t count, std::chrono::milliseconds wait = 5s) {
    std::u32string text;
    for (auto [code] : Take<unsigned>("char", count, wait)) text += static_cast<char32_t>(code);
    return text;
  }
  // Until the pointer is reported at (x, y) in the window (entry or motion).
  bool WaitForPointerAt(double x, double y, std::chrono::milliseconds wait = 5s) {
    return ReadUntil([&] { return pointerX_ == x && pointerY_ == y; }, wait);
  }

 private:
  // Reads lines until `count` of those starting with `kind` arrived; returns their fields.
  std::vector<std::istringstream> TakeKind(const std::string& kind, size_t count,
                                           std::chrono::milliseconds wait);
  void Read(std::chrono::milliseconds wait);  // what arrives within `wait`, into pending_
  bool ReadUntil(const std::function<bool()>& done, std::chrono::milliseconds wait);

  int fd_ = -1;  // the client's standard output
  ServiceProcess process_;
  bool ready_ = false;
  std::string partial_;  // a line not yet whole
  double pointerX_ = -1, pointerY_ = -1;
  std::vector<std::string> pending_;  // read, not yet taken (buttons with the position)
};

}  // namespace hovra::testing
