#include "tests/wayland/wayland_client.h"

#include <sstream>

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

std::vector<std::string> WaylandClient::TakeKind(const std::string& kind, size_t count,
                                                 std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  std::vector<std::string> found;
  for (;;) {
    std::erase_if(pending_, [&](const std::string& line) {
      if (!Starts(line, kind)) return false;
      found.push_back(line);
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
  for (const std::string& line : TakeKind("char", count, wait)) {
    text += static_cast<char32_t>(std::stoul(line.substr(5)));
  }
  return text;
}

std::vector<WaylandKey> WaylandClient::TakeKeys(size_t count, std::chrono::milliseconds wait) {
  std::vector<WaylandKey> keys;
  for (const std::string& line : TakeKind("key", count, wait)) {
    std::istringstream in(line.substr(4));
    WaylandKey key;
    in >> key.keysym >> key.modifiers;
    keys.push_back(key);
  }
  return keys;
}

std::vector<WaylandButton> WaylandClient::TakeButtons(size_t count,
                                                      std::chrono::milliseconds wait) {
  std::vector<WaylandButton> buttons;
  for (const std::string& line : TakeKind("button", count, wait)) {
    std::istringstream in(line.substr(7));
    WaylandButton button;
    int state = 0;
    in >> button.code >> state >> button.x >> button.y;
    button.press = state == 1;
    buttons.push_back(button);
  }
  return buttons;
}

std::vector<std::pair<unsigned, int>> WaylandClient::TakeWheel(size_t count,
                                                               std::chrono::milliseconds wait) {
  std::vector<std::pair<unsigned, int>> steps;
  for (const std::string& line : TakeKind("discrete", count, wait)) {
    std::istringstream in(line.substr(9));
    unsigned axis = 0;
    int value = 0;
    in >> axis >> value;
    steps.emplace_back(axis, value);
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
