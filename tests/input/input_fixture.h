// The input tests' recording platform, fake click clock and fresh input state; journal lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/gestures.h"
#include "input/key_names.h"
#include "input/pointer.h"
#include "input/tick_source.h"
#include "input/wheel.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

inline uint32_t g_fakeTick = 0;
inline uint32_t FakeTick() { return g_fakeTick; }

inline std::string KeyLine(int code, bool down, std::string_view source = "none",
                           std::optional<uint64_t> flags = {}) {
  std::string line = R"({"kind":"key","code":)" + std::to_string(code) + R"(,"down":)" +
                     (down ? "true" : "false") + R"(,"source":")" + std::string(source) + '"';
  if (flags) line += R"(,"flags":)" + std::to_string(*flags);
  return line + "}";
}

inline std::string TextLine(int unit, bool down) {
  return R"({"kind":"key","code":1,"down":)" + std::string(down ? "true" : "false") +
         R"(,"source":"none","flags":0,"unicode":[)" + std::to_string(unit) + "]}";
}

inline std::string MouseLine(int type, int x, int y, int button = 0,
                             std::optional<int> clickState = {}) {
  std::string line = R"({"kind":"mouse","type":)" + std::to_string(type) + R"(,"x":)" +
                     std::to_string(x) + R"(,"y":)" + std::to_string(y) + R"(,"button":)" +
                     std::to_string(button);
  if (clickState) line += R"(,"clickState":)" + std::to_string(*clickState);
  return line + "}";
}

inline std::string ScrollLine(int vertical, int horizontal) {
  return R"({"kind":"scroll","vertical":)" + std::to_string(vertical) + R"(,"horizontal":)" +
         std::to_string(horizontal) + "}";
}

inline std::string ScriptLine(std::string_view name, std::string_view escapedSource) {
  return R"({"kind":"script","name":")" + std::string(name) + R"(","source":")" +
         std::string(escapedSource) + R"("})";
}

// The journal lines of the application switcher's start and end scripts.
inline const std::string kStartReverse = ScriptLine(
    "StartSwitchingWindow.Reverse",
    R"(tell application \"System Events\"\nkey down {command}\nkey down {shift}\nkeystroke tab\nkey up {shift}\nend tell)");
inline const std::string kStartForward = ScriptLine(
    "StartSwitchingWindow.Forward",
    R"(tell application \"System Events\"\nkey down {command}\nkeystroke tab\nend tell)");
inline const std::string kEnd = ScriptLine(
    "EndSwitchingWindow", R"(tell application \"System Events\"\nkey up {command}\nend tell)");

// By default one 1920x1080 screen, the pointer at (960, 540) in event space.
class InputTest : public ::testing::Test {
 protected:
  InputTest() {
    UseDesktop("{}");
    FillKeyNameMaps();
    ResetClickAndDragState();
    ResetWheelState();
    ResetSwitcherState();
    g_fakeTick = 100000;
    SetTickSource(&FakeTick);
  }
  ~InputTest() override { SetTickSource(nullptr); }

  void UseDesktop(std::string_view simJson) {
    platform_.reset();
    platform_.emplace(simJson);
  }
  std::vector<std::string> Take() { return platform_->Take(); }

  std::optional<TestPlatform> platform_;
};

}  // namespace hovra::testing
