// Small builders for the fixed shortcut events of the actions. Every shortcut event comes
// from a source with the HID system state; its flags are set only where given.
#pragma once

#include <cstdint>

#include "platform/event_services.h"

namespace hovra::actions::keys {

inline constexpr uint64_t kCommandShift = platform::kFlagCommand | platform::kFlagShift;
inline constexpr uint64_t kCommandOption = platform::kFlagCommand | platform::kFlagOption;
inline constexpr uint64_t kCommandControl = platform::kFlagCommand | platform::kFlagControl;

// Virtual key codes the shortcuts use.
inline constexpr uint16_t kCommand = 55;
inline constexpr uint16_t kShift = 56;
inline constexpr uint16_t kControl = 59;
inline constexpr uint16_t kEscape = 53;
inline constexpr uint16_t kF = 3;
inline constexpr uint16_t kH = 4;
inline constexpr uint16_t kK = 40;
inline constexpr uint16_t kN = 45;
inline constexpr uint16_t kP = 35;
inline constexpr uint16_t kR = 15;
inline constexpr uint16_t kT = 17;
inline constexpr uint16_t kW = 13;
inline constexpr uint16_t kLeftBracket = 33;
inline constexpr uint16_t kRightBracket = 30;

constexpr platform::KeyEvent Down(uint16_t code, uint64_t flags) {
  return {.code = code,
          .down = true,
          .source = platform::EventSource::kHid,
          .flags = flags,
          .unicode = {}};
}
constexpr platform::KeyEvent Up(uint16_t code, uint64_t flags) {
  return {.code = code,
          .down = false,
          .source = platform::EventSource::kHid,
          .flags = flags,
          .unicode = {}};
}
// Without explicit flags: the event takes whatever the source's state gives it.
constexpr platform::KeyEvent Down(uint16_t code) {
  return {.code = code,
          .down = true,
          .source = platform::EventSource::kHid,
          .flags = {},
          .unicode = {}};
}
constexpr platform::KeyEvent Up(uint16_t code) {
  return {.code = code,
          .down = false,
          .source = platform::EventSource::kHid,
          .flags = {},
          .unicode = {}};
}

}  // namespace hovra::actions::keys
