// The fixed browser and window shortcuts, each a named sequence so that a desktop with
// other shortcuts can substitute its own. The flags are exactly the ones each event has
// always carried, whatever the key: the Control events of MaximizeWindow carry Command
// only and its "f" events Command+Option.
#pragma once

#include "actions/key_helpers.h"

namespace hovra::actions::shortcuts {

using keys::Down;
using keys::Up;
using platform::kFlagCommand;
using platform::kFlagShift;

inline constexpr platform::KeyEvent kBrowserForwardEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kRightBracket, kFlagCommand),
    Up(keys::kRightBracket, kFlagCommand), Up(keys::kCommand, kFlagCommand)};
inline constexpr platform::KeyEvent kBrowserBackEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kLeftBracket, kFlagCommand),
    Up(keys::kLeftBracket, kFlagCommand), Up(keys::kCommand, kFlagCommand)};
inline constexpr platform::KeyEvent kBrowserRefreshEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kR, kFlagCommand), Up(keys::kR, kFlagCommand),
    Up(keys::kCommand, kFlagCommand)};
inline constexpr platform::KeyEvent kBrowserNewtabEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kT, kFlagCommand), Up(keys::kT, kFlagCommand),
    Up(keys::kCommand, kFlagCommand)};
inline constexpr platform::KeyEvent kCloseWindowEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kW, kFlagCommand), Up(keys::kW, kFlagCommand),
    Up(keys::kCommand, kFlagCommand)};
// Command-H: hides the application rather than minimising the window.
inline constexpr platform::KeyEvent kMinimizeWindowEvents[] = {
    Down(keys::kCommand, kFlagCommand), Down(keys::kH, kFlagCommand), Up(keys::kH, kFlagCommand),
    Up(keys::kCommand, kFlagCommand)};
inline constexpr platform::KeyEvent kBrowserHomeEvents[] = {
    Down(keys::kShift, kFlagShift),      Down(keys::kCommand, kFlagCommand),
    Down(keys::kH, keys::kCommandShift), Up(keys::kH, keys::kCommandShift),
    Up(keys::kCommand, kFlagCommand),    Up(keys::kShift, kFlagShift)};
inline constexpr platform::KeyEvent kMaximizeWindowEvents[] = {
    Down(keys::kCommand, kFlagCommand),   Down(keys::kControl, kFlagCommand),
    Down(keys::kF, keys::kCommandOption), Up(keys::kF, keys::kCommandOption),
    Up(keys::kControl, kFlagCommand),     Up(keys::kCommand, kFlagCommand)};

inline constexpr platform::KeySequence kBrowserForward{"BrowserForward", kBrowserForwardEvents};
inline constexpr platform::KeySequence kBrowserBack{"BrowserBack", kBrowserBackEvents};
inline constexpr platform::KeySequence kBrowserRefresh{"BrowserRefresh", kBrowserRefreshEvents};
inline constexpr platform::KeySequence kBrowserNewtab{"BrowserNewtab", kBrowserNewtabEvents};
inline constexpr platform::KeySequence kBrowserHome{"BrowserHome", kBrowserHomeEvents};
inline constexpr platform::KeySequence kCloseWindow{"CloseWindow", kCloseWindowEvents};
inline constexpr platform::KeySequence kMinimizeWindow{"MinimizeWindow", kMinimizeWindowEvents};
inline constexpr platform::KeySequence kMaximizeWindow{"MaximizeWindow", kMaximizeWindowEvents};

}  // namespace hovra::actions::shortcuts
