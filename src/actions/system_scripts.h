// The fixed scripts of the volume, browser and screen-capture actions, run unchanged.
// The volume click plays in the background and follows each script's own branches.
#pragma once

#include "platform/script_services.h"

namespace hovra::actions::scripts {

// clang-format off
inline constexpr platform::ScriptText kMute{
    "Mute",
    "set myVolume to get volume settings\nif output muted of myVolume is false then\nset volume with output muted\nelse\nset volume without output muted\ndo shell script \"afplay /System/Library/LoginPlugins/BezelServices.loginPlugin/Contents/Resources/volume.aiff > /dev/null 2>&1 &\"\nend if"};
inline constexpr platform::ScriptText kVolumeUp{
    "VolumeUp",
    "set vol to output volume of (get volume settings)\nif vol > 90 then\nset volume output volume 100\nelse\nset volume output volume (vol + 10)\nend if\ndo shell script \"afplay /System/Library/LoginPlugins/BezelServices.loginPlugin/Contents/Resources/volume.aiff > /dev/null 2>&1 &\""};
inline constexpr platform::ScriptText kVolumeDown{
    "VolumeDown",
    "set vol to output volume of (get volume settings)\nif vol <= 10 then\nset volume output volume 0\nelse\nset volume output volume (vol - 10)\ndo shell script \"afplay /System/Library/LoginPlugins/BezelServices.loginPlugin/Contents/Resources/volume.aiff > /dev/null 2>&1 &\"\nend if"};

inline constexpr platform::ScriptText kBrowserSearch{
    "BrowserSearch",
    "tell application \"System Events\"\nkey down {command}\nkeystroke \"l\"\nkey up {command}\nend tell"};
inline constexpr platform::ScriptText kBrowserStop{
    "BrowserStop",
    "tell application \"System Events\"\nkey down {command}\nkeystroke \".\"\nkey up {command}\nend tell"};
inline constexpr platform::ScriptText kScreenCapture{
    "ScreenCapture",
    "tell application \"System Events\" to keystroke \"#\" using {command down, shift down}"};

// Each browser script acts only when its browser is the frontmost process.
inline constexpr platform::ScriptText kBrowserFavoriteSafari{
    "BrowserFavorite.Safari",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Safari\") then\n   tell application \"Safari\" to show bookmarks\n end if\nend tell\n"};
inline constexpr platform::ScriptText kBrowserFavoriteChrome{
    "BrowserFavorite.Chrome",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Google Chrome\") then\n   tell application \"System Events\"\n       key down {command}\n       keystroke \"b\"\n       key up {command}\n       end tell\n end if\nend tell\n"};

// Formats: "%s" stands for the address, already escaped for a string literal.
inline constexpr platform::ScriptText kBrowserNewURLSafari{
    "BrowserNewURL.Safari",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Safari\") then\n   tell application \"Safari\"\n       tell window 1\n           set current tab to (make new tab with properties {URL:\"%s\"})\n       end tell\n   end tell\n   end if\nend tell"};
inline constexpr platform::ScriptText kBrowserNewURLChrome{
    "BrowserNewURL.Chrome",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n   if (frontmostProcess = \"Google Chrome\") then\n     tell application \"Google Chrome\"\n           set activeIndex to get active tab index of window 1\n       tell window 1\n           set newTab to make new tab with properties {URL:\"%s\"}\n       end tell\n     end tell\n    end if\nend tell"};
// clang-format on

}  // namespace hovra::actions::scripts
