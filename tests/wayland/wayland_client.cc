#include "tests/wayland/wayland_client.h"

namespace hovra::testing {
namespace {

bool Starts(const std::string& line, const std::string& kind) {
  return line.compare(0, kind.size() + 1, kind + " ") == 0 || line == kind;
}

}  // namespace

WaylandClient::WaylandClient(const SwaySession& sway, const std::string& appId)
    : reader_({HOVRA_WAYLAND_TEST_CLIENT, "--app-id", appId},
              {"WAYLAND_DISPLAY=" + sway.Display(), "XDG_RUNTIME_DIR=" + sway.RuntimeDir()}) {
  ready_ = reader_.WaitFor([](const std::string& line) { return Starts(line, "ready"); }, 10s)
               .has_value();
}

void WaylandClient::Read(std::chrono::milliseconds wait) {
  for (std::string& line : reader_.Take(1, wait)) {
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    if (kind == "motion" || kind == "pointer-enter") in >> pointerX_ >> pointerY_;
    // A button is kept with where the pointer was when it came.
    if (kind == "button") line += " " + std::to_string(pointerX_) + " " + std::to_string(pointerY_);
    pending_.push_back(std::move(line));
  }
}

std::vector<std::istringstream> WaylandClient::TakeKind(const std::string& kind, size_t count,
                                                        std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  std::vector<std::istringstream> found;
  for (;;) {
    std::erase_if(pending_, [&](const std::string& line) {
      if (!Starts(line, kind)) return false;
      found.emplace_back(line.substr(kind.size()));  // the fields after the kind
      return true;
    });
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (found.size() >= count || left.count() <= 0) return found;
    Read(left);
  }
}

std::u32string WaylandClient::TakeText(size_t count, std::chrono::milliseconds wait) {
  std::u32string text;
  unsigned code = 0;
  for (auto& in : TakeKind("char", count, wait)) {
    in >> code;
    text += static_cast<char32_t>(code);
  }
  return text;
}

std::vector<WaylandKey> WaylandClient::TakeKeys(size_t count, std::chrono::milliseconds wait) {
  std::vector<WaylandKey> keys;
  for (auto& in : TakeKind("key", count, wait)) {
    WaylandKey& key = keys.emplace_back();
    in >> key.keysym >> key.modifiers;
  }
  return keys;
}

std::vector<WaylandButton> WaylandClient::TakeButtons(size_t count,
                                                      std::chrono::milliseconds wait) {
  std::vector<WaylandButton> buttons;
  for (auto& in : TakeKind("button", count, wait)) {
    WaylandButton& button = buttons.emplace_back();
    int state = 0;
    in >> button.code >> state >> button.x >> button.y;
    button.press = state == 1;
  }
  return buttons;
}

std::vector<std::pair<unsigned, int>> WaylandClient::TakeWheel(size_t count,
                                                               std::chrono::milliseconds wait) {
  std::vector<std::pair<unsigned, int>> steps;
  for (auto& in : TakeKind("discrete", count, wait)) {
    auto& [axis, value] = steps.emplace_back();
    in >> axis >> value;
  }
  return steps;
}

bool WaylandClient::WaitForPointerAt(double x, double y, std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (pointerX_ == x && pointerY_ == y) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    Read(left);
  }
}

}  // namespace hovra::testing
