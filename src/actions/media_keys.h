// The media players' fixed keystrokes. The flags are exactly the ones each event has
// always carried: iTunes' Control events carry Shift, and its "f" events Command+Control.
#pragma once

#include "actions/key_helpers.h"

namespace hovra::actions::shortcuts {

inline constexpr platform::KeyEvent kPlayerPlayKeysEvents[] = {keys::Down(keys::kK),
                                                               keys::Up(keys::kK)};
inline constexpr platform::KeyEvent kPlayerNextKeysEvents[] = {
    keys::Down(keys::kShift, platform::kFlagShift), keys::Down(keys::kN, platform::kFlagShift),
    keys::Up(keys::kN, platform::kFlagShift), keys::Up(keys::kShift, platform::kFlagShift)};
inline constexpr platform::KeyEvent kPlayerPrevKeysEvents[] = {
    keys::Down(keys::kShift, platform::kFlagShift), keys::Down(keys::kP, platform::kFlagShift),
    keys::Up(keys::kP, platform::kFlagShift), keys::Up(keys::kShift, platform::kFlagShift)};
// A bare "f": full screen for MPlayerX and for whatever is frontmost.
inline constexpr platform::KeyEvent kBareFEvents[] = {keys::Down(keys::kF), keys::Up(keys::kF)};
inline constexpr platform::KeyEvent kPlayerMaxSpotifyEvents[] = {
    keys::Down(keys::kShift, platform::kFlagShift),
    keys::Down(keys::kCommand, platform::kFlagCommand),
    keys::Down(keys::kF, keys::kCommandShift),
    keys::Up(keys::kF, keys::kCommandShift),
    keys::Up(keys::kCommand, platform::kFlagCommand),
    keys::Up(keys::kShift, platform::kFlagShift)};
inline constexpr platform::KeyEvent kPlayerMaxITunesEvents[] = {
    keys::Down(keys::kControl, platform::kFlagShift),
    keys::Down(keys::kCommand, platform::kFlagCommand),
    keys::Down(keys::kF, keys::kCommandControl),
    keys::Up(keys::kF, keys::kCommandControl),
    keys::Up(keys::kCommand, platform::kFlagCommand),
    keys::Up(keys::kControl, platform::kFlagShift)};
// Leaves QuickTime's presentation mode.
inline constexpr platform::KeyEvent kPlayerMaxQuickTimeExitEvents[] = {
    keys::Down(keys::kEscape, platform::kFlagOption),
    keys::Up(keys::kEscape, platform::kFlagOption)};

inline constexpr platform::KeySequence kPlayerPlayKeys{"PlayerPlay.Keys", kPlayerPlayKeysEvents};
inline constexpr platform::KeySequence kPlayerNextKeys{"PlayerNext.Keys", kPlayerNextKeysEvents};
inline constexpr platform::KeySequence kPlayerPrevKeys{"PlayerPrev.Keys", kPlayerPrevKeysEvents};
inline constexpr platform::KeySequence kPlayerMaxKeys{"PlayerMax.Keys", kBareFEvents};
inline constexpr platform::KeySequence kPlayerMaxMPlayerX{"PlayerMax.MPlayerX", kBareFEvents};
inline constexpr platform::KeySequence kPlayerMaxSpotify{"PlayerMax.Spotify",
                                                         kPlayerMaxSpotifyEvents};
inline constexpr platform::KeySequence kPlayerMaxITunes{"PlayerMax.iTunes", kPlayerMaxITunesEvents};
inline constexpr platform::KeySequence kPlayerMaxQuickTimeExit{"PlayerMax.QuickTime.Exit",
                                                               kPlayerMaxQuickTimeExitEvents};

}  // namespace hovra::actions::shortcuts
