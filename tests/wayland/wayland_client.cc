#include "tests/wayland/wayland_client.h"

namespace hovra::testing {
namespace {

bool Starts(const std::string& line, const std::string& kind) {
  return line.compare(0, kind.size() + 1, kind + " ") == 0 || line == kind;
}

}  // namespace

WaylandClient::WaylandClient(const SwaySession& sway, const std::string& appId)
    : process_(
          {.argv = {HOVRA_WAYLAND_TEST_CLIENT, "--app-id", appId},
           .env = {{"WAYLAND_DISPLAY", sway.Display()}, {"XDG_RUNTIME_DIR", sway.RuntimeDir()}},
           .output = dir_ / "output"}) {
  ready_ = !TakeKind("ready", 1, 10s).empty();
}

WaylandClient::Output WaylandClient::Read() const {
  Output output;
  std::istringstream out(process_.Output());
  for (std::string line; std::getline(out, line) && !out.eof();) {  // a line cut short waits
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    if (kind == "motion" || kind == "pointer-enter") in >> output.x >> output.y;
    if (kind == "button") line += " " + std::to_string(output.x) + " " + std::to_string(output.y);
    output.lines.push_back(line);
  }
  return output;
}

std::vector<std::istringstream> WaylandClient::TakeKind(const std::string& kind, size_t count,
                                                        std::chrono::milliseconds wait) {
  std::vector<std::istringstream> found;
  PollUntil(
      [&] {
        found.clear();
        size_t seen = 0;
        for (const std::string& line : Read().lines) {
          if (Starts(line, kind) && seen++ >= taken_[kind]) {
            found.emplace_back(line.substr(kind.size()));  // the fields after the kind
          }
        }
        return found.size() >= count;
      },
      wait);
  taken_[kind] += found.size();
  return found;
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
  return PollUntil(
      [&] {
        const Output output = Read();
        return output.x == x && output.y == y;
      },
      wait);
}

}  // namespace hovra::testing
