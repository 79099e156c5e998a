// Every desktop-action command a client can send, as data: the line (without its line
// feed), how many times in a row it is sent, the simulated desktop (--sim JSON), the exact
// journal lines all the sends produce together, the lines the main-thread timer's next
// tick adds (power commands only record a pending flag at once), and the operation the
// command table calls for it (empty when the line must match no row).
// Commands with a remembered state (QuickTime's play/pause and full screen) are sent an
// even number of times, so every case leaves that state as it found it: the start-of-
// program state, which the cases assume.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/desktop_actions.h"

namespace hovra::testing {

struct ActionCommandCase {
  std::string label;  // unique
  std::string line;
  int times = 1;
  std::string simJson;
  std::vector<std::string> expected;
  std::vector<std::string> afterTimer;
  std::function<void()> call;
};

namespace action_cases {

inline constexpr std::string_view kNothingInstalled = "{}";
inline constexpr std::string_view kEverythingInstalled =
    R"({"installed":{"com.apple.Safari":"/Applications/Safari.app",)"
    R"("com.google.Chrome":"/Applications/Google Chrome.app",)"
    R"("com.apple.QuickTimePlayerX":"/System/Applications/QuickTime Player.app",)"
    R"("org.videolan.vlc":"/Applications/VLC.app",)"
    R"("com.spotify.client":"/Applications/Spotify.app",)"
    R"("org.niltsh.MPlayerX":"/Applications/MPlayerX.app",)"
    R"("com.apple.iTunes":"/Applications/iTunes.app",)"
    R"("com.apple.iWork.Keynote":"/Applications/Keynote.app",)"
    R"("com.microsoft.Powerpoint":"/Applications/Microsoft PowerPoint.app"}})";
inline constexpr std::string_view kITunesAndVlcInstalled =
    R"({"installed":{"com.apple.iTunes":"/Applications/iTunes.app",)"
    R"("org.videolan.vlc":"/Applications/VLC.app"}})";
inline constexpr std::string_view kChromeInstalled =
    R"({"installed":{"com.google.Chrome":"/Applications/Google Chrome.app"}})";

inline constexpr uint64_t kCmd = 1048576;        // Command
inline constexpr uint64_t kShift = 131072;       // Shift
inline constexpr uint64_t kOption = 524288;      // Option
inline constexpr uint64_t kCmdShift = 1179648;   // Command+Shift
inline constexpr uint64_t kCmdOption = 1572864;  // Command+Option
inline constexpr uint64_t kCmdCtrl = 1310720;    // Command+Control

// `source` is written as it appears inside the journal's JSON string.
inline std::string Script(std::string_view name, std::string_view source) {
  return std::string(R"({"kind":"script","name":")") + std::string(name) + R"(","source":")" +
         std::string(source) + R"("})";
}

struct Key {
  int code;
  bool down;
  std::optional<uint64_t> flags;
};

inline std::vector<std::string> Keys(std::initializer_list<Key> keys) {
  std::vector<std::string> lines;
  for (const Key& key : keys) {
    std::string line = R"({"kind":"key","code":)" + std::to_string(key.code) + R"(,"down":)" +
                       (key.down ? "true" : "false") + R"(,"source":"hid")";
    if (key.flags) line += R"(,"flags":)" + std::to_string(*key.flags);
    lines.push_back(line + "}");
  }
  return lines;
}

inline std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The generic scripts that act only when `process` is frontmost.
inline std::string Frontmost(std::string_view process,
                             std::initializer_list<std::string_view> actions) {
  std::string source =
      R"(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \")" +
      std::string(process) + R"(\") then\n)";
  for (std::string_view action : actions) source += "  " + std::string(action) + R"(\n)";
  return source + R"( end if\nend tell\n)";
}

inline constexpr std::string_view kClick =
    R"js(do shell script \"afplay /System/Library/LoginPlugins/BezelServices.loginPlugin/Contents/Resources/volume.aiff > /dev/null 2>&1 &\")js";

inline std::string MuteSource() {
  return R"js(set myVolume to get volume settings\nif output muted of myVolume is false then\nset volume with output muted\nelse\nset volume without output muted\n)js" +
         std::string(kClick) + R"js(\nend if)js";
}
inline std::string VolumeUpSource() {
  return R"js(set vol to output volume of (get volume settings)\nif vol > 90 then\nset volume output volume 100\nelse\nset volume output volume (vol + 10)\nend if\n)js" +
         std::string(kClick);
}
inline std::string VolumeDownSource() {
  return R"js(set vol to output volume of (get volume settings)\nif vol <= 10 then\nset volume output volume 0\nelse\nset volume output volume (vol - 10)\n)js" +
         std::string(kClick) + R"js(\nend if)js";
}

inline constexpr std::string_view kSafariFavorite =
    R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Safari\") then\n   tell application \"Safari\" to show bookmarks\n end if\nend tell\n)js";
inline constexpr std::string_view kChromeFavorite =
    R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Google Chrome\") then\n   tell application \"System Events\"\n       key down {command}\n       keystroke \"b\"\n       key up {command}\n       end tell\n end if\nend tell\n)js";

// `url` as it appears inside the journal's JSON string, after the script escaping.
inline std::string SafariNewURL(std::string_view url) {
  return R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Safari\") then\n   tell application \"Safari\"\n       tell window 1\n           set current tab to (make new tab with properties {URL:\")js" +
         std::string(url) + R"js(\"})\n       end tell\n   end tell\n   end if\nend tell)js";
}
inline std::string ChromeNewURL(std::string_view url) {
  return R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n   if (frontmostProcess = \"Google Chrome\") then\n     tell application \"Google Chrome\"\n           set activeIndex to get active tab index of window 1\n       tell window 1\n           set newTab to make new tab with properties {URL:\")js" +
         std::string(url) + R"js(\"}\n       end tell\n     end tell\n    end if\nend tell)js";
}

inline std::vector<std::string> CommandKeys(int code) {
  return Keys({{55, true, kCmd}, {code, true, kCmd}, {code, false, kCmd}, {55, false, kCmd}});
}
inline std::vector<std::string> MaximizeKeys() {
  return Keys({{55, true, kCmd},
               {59, true, kCmd},
               {3, true, kCmdOption},
               {3, false, kCmdOption},
               {59, false, kCmd},
               {55, false, kCmd}});
}

inline void AddSystemCases(std::vector<ActionCommandCase>& cases) {
  using namespace hovra::actions;
  const std::string none(kNothingInstalled);
  const std::string all(kEverythingInstalled);
  const auto add = [&](std::string label, std::string line, const std::string& sim,
                       std::vector<std::string> expected, std::function<void()> call) {
    cases.push_back(
        {std::move(label), std::move(line), 1, sim, std::move(expected), {}, std::move(call)});
  };
  add("mute", "MUTE", none, {Script("Mute", MuteSource())}, [] { Mute(); });
  add("mute-prefix", "MUTEX", none, {Script("Mute", MuteSource())}, [] { Mute(); });
  add("mute-lower-case", "mute", none, {}, nullptr);
  add("volume-up", "VOLUMEUP", none, {Script("VolumeUp", VolumeUpSource())}, [] { VolumeUp(); });
  add("volume-down", "VOLUMEDN", none, {Script("VolumeDown", VolumeDownSource())},
      [] { VolumeDown(); });
  add("browser-forward", "browser forward", none, CommandKeys(30), [] { BrowserForward(); });
  add("browser-back", "browser back", none, CommandKeys(33), [] { BrowserBack(); });
  add("browser-home", "browser home", none,
      Keys({{56, true, kShift},
            {55, true, kCmd},
            {4, true, kCmdShift},
            {4, false, kCmdShift},
            {55, false, kCmd},
            {56, false, kShift}}),
      [] { BrowserHome(); });
  add("browser-search", "browser search", none,
      {Script(
          "BrowserSearch",
          R"js(tell application \"System Events\"\nkey down {command}\nkeystroke \"l\"\nkey up {command}\nend tell)js")},
      [] { BrowserSearch(); });
  add("browser-refresh", "browser refresh", none, CommandKeys(15), [] { BrowserRefresh(); });
  add("browser-stop", "browser stop", none,
      {Script(
          "BrowserStop",
          R"js(tell application \"System Events\"\nkey down {command}\nkeystroke \".\"\nkey up {command}\nend tell)js")},
      [] { BrowserStop(); });
  add("browser-newtab", "browser newtab", none, CommandKeys(17), [] { BrowserNewtab(); });
  add("browser-closetab", "browser closetab", none, CommandKeys(13), [] { BrowserClosetab(); });
  add("window-close", "window close", none, CommandKeys(13), [] { OnCloseWindow(); });
  add("window-minimize", "window minimize", none, CommandKeys(4), [] { OnMinizeWindow(); });
  add("window-maximize", "window maximize", none, MaximizeKeys(), [] { OnMaximizeWindow(); });
  add("screen-capture", "screenCapture", none,
      {Script(
          "ScreenCapture",
          R"js(tell application \"System Events\" to keystroke \"#\" using {command down, shift down})js")},
      [] { screenCapture(); });
}

inline void AddBrowserCases(std::vector<ActionCommandCase>& cases) {
  using namespace hovra::actions;
  const std::string none(kNothingInstalled);
  const std::string all(kEverythingInstalled);
  const auto add = [&](std::string label, std::string line, std::string_view sim,
                       std::vector<std::string> expected, std::function<void()> call) {
    cases.push_back({std::move(label),
                     std::move(line),
                     1,
                     std::string(sim),
                     std::move(expected),
                     {},
                     std::move(call)});
  };
  const auto openUrl = [](const char* url) {
    return [url] { BrowserNewURL(reinterpret_cast<const unsigned char*>(url)); };
  };
  add("browser-favorite-all", "browser favorite", all,
      {Script("BrowserFavorite.Safari", kSafariFavorite),
       Script("BrowserFavorite.Chrome", kChromeFavorite)},
      [] { BrowserFavorite(); });
  add("browser-favorite-none", "browser favorite", none, {}, [] { BrowserFavorite(); });
  add("browser-favorite-chrome", "browser favorite", kChromeInstalled,
      {Script("BrowserFavorite.Chrome", kChromeFavorite)}, [] { BrowserFavorite(); });
  add("browser-openurl-all", "browser openurl https://example.com/a?b=1&c=\xC3\xA9", all,
      {Script("BrowserNewURL.Safari", SafariNewURL("https://example.com/a?b=1&c=\xC3\xA9")),
       Script("BrowserNewURL.Chrome", ChromeNewURL("https://example.com/a?b=1&c=\xC3\xA9"))},
      openUrl("https://example.com/a?b=1&c=\xC3\xA9"));
  add("browser-openurl-none", "browser openurl https://example.com/", none, {},
      openUrl("https://example.com/"));
  add("browser-openurl-chrome", "browser openurl http://x", kChromeInstalled,
      {Script("BrowserNewURL.Chrome", ChromeNewURL("http://x"))}, openUrl("http://x"));
  add("browser-openurl-scheme-in-capitals", "browser openurl HTTPS://Example.com/", all,
      {Script("BrowserNewURL.Safari", SafariNewURL("HTTPS://Example.com/")),
       Script("BrowserNewURL.Chrome", ChromeNewURL("HTTPS://Example.com/"))},
      openUrl("HTTPS://Example.com/"));
  // Only web pages are opened: nothing runs for any other scheme, or none.
  add("browser-openurl-empty", "browser openurl ", all, {}, openUrl(""));
  add("browser-openurl-file", "browser openurl file:///etc/passwd", all, {},
      openUrl("file:///etc/passwd"));
  add("browser-openurl-javascript", "browser openurl javascript:alert(1)", all, {},
      openUrl("javascript:alert(1)"));
  add("browser-openurl-no-scheme", "browser openurl x", all, {}, openUrl("x"));
  add("browser-openurl-scheme-only", "browser openurl https://", all, {}, openUrl("https://"));
  // A quote must not end the literal, a backslash must not escape the closing quote.
  // In the journal \\\" is the script's \" and \\\\ the script's \\.
  add("browser-openurl-quote-and-backslash",
      R"u(browser openurl https://x"}) & (do shell script "rm -rf ~") & ({URL:"y\)u", all,
      {Script("BrowserNewURL.Safari",
              SafariNewURL(
                  R"u(https://x\\\"}) & (do shell script \\\"rm -rf ~\\\") & ({URL:\\\"y\\\\)u")),
       Script("BrowserNewURL.Chrome",
              ChromeNewURL(
                  R"u(https://x\\\"}) & (do shell script \\\"rm -rf ~\\\") & ({URL:\\\"y\\\\)u"))},
      openUrl(R"u(https://x"}) & (do shell script "rm -rf ~") & ({URL:"y\)u"));
  // A tab (or any control byte) is refused: nothing runs.
  add("browser-openurl-control-byte", "browser openurl a\tb", all, {}, openUrl("a\tb"));
}

inline void AddPowerCases(std::vector<ActionCommandCase>& cases) {
  using namespace hovra::actions;
  const auto add = [&](std::string label, std::string line, int times,
                       std::vector<std::string> afterTimer, std::function<void()> call) {
    cases.push_back({std::move(label),
                     std::move(line),
                     times,
                     std::string(kNothingInstalled),
                     {},
                     std::move(afterTimer),
                     std::move(call)});
  };
  add("shutdown", "shutdown", 2,
      {Script(
          "Shutdown",
          R"js(set question to display dialog \"Are you sure to shutdown system?\" with title \"Taplume\" with icon stop buttons {\"Yes\", \"No\"} default button 2\nset answer to button returned of question\nif answer is equal to \"Yes\" then\ntell application \"System Events\" to shut down\nend if)js")},
      [] { Shutdown(); });
  add("poweroff", "poweroff", 1,
      {Script("PowerOff", R"js(tell application \"System Events\" to shut down)js")},
      [] { Poweroff(); });
  add("reboot", "reboot", 1, {Script("Reboot", R"js(tell application \"Finder\" to restart)js")},
      [] { Reboot(); });
  add("logoff", "logoff", 1,
      {Script(
          "Logoff",
          R"js(tell application \"System Events\"\n\tlog out\n\tkeystroke return\nend tell)js")},
      [] { Logoff(); });
  add("sleep", "sleep", 2, {Script("Sleep", R"js(tell application \"Finder\" to sleep)js")},
      [] { SleepSystem(); });
}

inline std::string ITunes(std::string_view op, std::string_view action) {
  return Script(std::string(op) + ".iTunes", Frontmost("iTunes", {action}));
}
inline std::string Vlc(std::string_view op, std::string_view action) {
  return Script(std::string(op) + ".VLC", Frontmost("VLC", {action}));
}
inline std::string Spotify(std::string_view op, std::string_view action) {
  return Script(std::string(op) + ".Spotify", Frontmost("Spotify", {action}));
}
inline std::string QuickTime(std::string_view name, std::string_view action) {
  return Script(name, Frontmost("QuickTime Player", {action}));
}

inline void AddMediaCases(std::vector<ActionCommandCase>& cases) {
  using namespace hovra::actions;
  const std::string none(kNothingInstalled);
  const std::string all(kEverythingInstalled);
  // Sent twice: QuickTime is offered pause, then play.
  cases.push_back({"media-play-all",
                   "media play",
                   2,
                   all,
                   {ITunes("MediaPlay", R"(tell application \"iTunes\" to playpause)"),
                    Vlc("MediaPlay", R"(tell application \"VLC\" to play)"),
                    Spotify("MediaPlay", R"(tell application \"Spotify\" to playpause)"),
                    QuickTime("MediaPlay.QuickTime.Pause",
                              R"(tell application \"QuickTime Player\" to pause front document)"),
                    ITunes("MediaPlay", R"(tell application \"iTunes\" to playpause)"),
                    Vlc("MediaPlay", R"(tell application \"VLC\" to play)"),
                    Spotify("MediaPlay", R"(tell application \"Spotify\" to playpause)"),
                    QuickTime("MediaPlay.QuickTime.Play",
                              R"(tell application \"QuickTime Player\" to play front document)")},
                   {},
                   [] { MediaPlay(); }});
  cases.push_back({"media-play-none", "media play", 1, none, {}, {}, [] { MediaPlay(); }});
  cases.push_back(
      {"media-next-all",
       "media next",
       1,
       all,
       {ITunes("MediaNext", R"(tell application \"iTunes\" to next track)"),
        Vlc("MediaNext", R"(tell application \"VLC\" to next)"),
        Spotify("MediaNext", R"(tell application \"Spotify\" to next track)"),
        QuickTime("MediaNext.QuickTime",
                  R"(tell application \"QuickTime Player\" to step forward front document)")},
       {},
       [] { MediaNext(); }});
  cases.push_back({"media-next-itunes-and-vlc",
                   "media next",
                   1,
                   std::string(kITunesAndVlcInstalled),
                   {ITunes("MediaNext", R"(tell application \"iTunes\" to next track)"),
                    Vlc("MediaNext", R"(tell application \"VLC\" to next)")},
                   {},
                   [] { MediaNext(); }});
  cases.push_back({"media-next-none", "media next", 1, none, {}, {}, [] { MediaNext(); }});
  cases.push_back(
      {"media-prev-all",
       "media prev",
       1,
       all,
       {ITunes("MediaPrev", R"(tell application \"iTunes\" to previous track)"),
        Vlc("MediaPrev", R"(tell application \"VLC\" to previous)"),
        Script("MediaPrev.Spotify",
               Frontmost("Spotify", {R"(tell application \"Spotify\" to previous track)",
                                     R"(tell application \"Spotify\" to previous track)"})),
        QuickTime("MediaPrev.QuickTime",
                  R"(tell application \"QuickTime Player\" to step backward front document)")},
       {},
       [] { MediaPrev(); }});
  cases.push_back({"media-prev-none", "media prev", 1, none, {}, {}, [] { MediaPrev(); }});
  cases.push_back(
      {"media-volumeup-all",
       "media volumeup",
       1,
       all,
       {ITunes("MediaVolumeUp",
               R"(tell application \"iTunes\" to set sound volume to sound volume + 10)"),
        Vlc("MediaVolumeUp", R"(tell application \"VLC\" to volumeUp)"),
        Spotify("MediaVolumeUp",
                R"(tell application \"Spotify\" to set sound volume to sound volume + 10)")},
       {},
       [] { MediaVolumeUp(); }});
  cases.push_back(
      {"media-volumeup-none", "media volumeup", 1, none, {}, {}, [] { MediaVolumeUp(); }});
  cases.push_back(
      {"media-volumedown-all",
       "media volumedown",
       1,
       all,
       {ITunes("MediaVolumeDown",
               R"(tell application \"iTunes\" to set sound volume to sound volume - 10)"),
        Vlc("MediaVolumeDown", R"(tell application \"VLC\" to volumeDown)"),
        Spotify("MediaVolumeDown",
                R"(tell application \"Spotify\" to set sound volume to sound volume - 10)"),
        QuickTime(
            "MediaVolumeDown.QuickTime",
            R"(tell application \"QuickTime Player\" to set sound volume to sound volume - 10)")},
       {},
       [] { MediaVolumeDown(); }});
  cases.push_back(
      {"media-volumedown-none", "media volumedown", 1, none, {}, {}, [] { MediaVolumeDown(); }});
}

// Adds "<family> <index>" sent `times` times with everything installed (`all`) and with
// nothing installed (`none`); an empty `none` list stands for no journal line at all.
inline void AddIndexed(std::vector<ActionCommandCase>& cases, std::string_view family, int index,
                       int times, std::vector<std::string> all, std::vector<std::string> none,
                       std::function<void()> call) {
  const std::string line = std::string(family) + " " + std::to_string(index);
  std::string label = line;
  for (char& c : label)
    if (c == ' ') c = '-';
  cases.push_back(
      {label + "-all", line, times, std::string(kEverythingInstalled), std::move(all), {}, call});
  cases.push_back({label + "-none",
                   line,
                   times,
                   std::string(kNothingInstalled),
                   std::move(none),
                   {},
                   std::move(call)});
}

inline void AddPlayerPlayCases(std::vector<ActionCommandCase>& cases) {
  using hovra::actions::setMediaPlay;
  const auto call = [](int index) { return [index] { setMediaPlay(index); }; };
  // Sent twice: play, then pause; the guess flips also when QuickTime is missing.
  AddIndexed(cases, "player play", 0, 2,
             {Script("PlayerPlay.QuickTime.Play",
                     R"(tell application \"QuickTime Player\" to play front document\n)"),
              Script("PlayerPlay.QuickTime.Pause",
                     R"(tell application \"QuickTime Player\" to pause front document\n)")},
             {}, call(0));
  AddIndexed(
      cases, "player play", 1, 1,
      {Script(
          "PlayerPlay.VLC",
          R"(tell application \"System Events\"\n  tell application \"VLC\" to play\nend tell\n)")},
      {}, call(1));
  AddIndexed(
      cases, "player play", 2, 1,
      {Script(
          "PlayerPlay.Spotify",
          R"(tell application \"System Events\"\n  tell application \"Spotify\" to playpause\nend tell\n)")},
      {}, call(2));
  AddIndexed(cases, "player play", 3, 1,
             {Script("PlayerPlay.MPlayerX", R"(tell application \"MPlayerX\" to playpause\n)")}, {},
             call(3));
  AddIndexed(cases, "player play", 4, 1, {}, {}, call(4));
  AddIndexed(cases, "player play", 5, 1,
             {Script("PlayerPlay.iTunes", R"(tell application \"iTunes\" to playpause\n)")}, {},
             call(5));
  const auto k = Keys({{40, true, std::nullopt}, {40, false, std::nullopt}});
  AddIndexed(cases, "player play", 6, 1, k, k, call(6));
  cases.push_back(
      {"player-play-7", "player play 7", 1, std::string(kEverythingInstalled), {}, {}, nullptr});
}

inline void AddPlayerMaxCases(std::vector<ActionCommandCase>& cases) {
  using hovra::actions::setMaxPlayer;
  const auto call = [](int index) { return [index] { setMaxPlayer(index); }; };
  const auto leave = Keys({{53, true, kOption}, {53, false, kOption}});
  // Sent twice: present, then Option-Escape; missing, the guess still flips.
  AddIndexed(cases, "player max", 0, 2,
             Join({{Script("PlayerMax.QuickTime",
                           R"(tell application \"QuickTime Player\" to present front document\n)")},
                   leave}),
             leave, call(0));
  AddIndexed(cases, "player max", 1, 1,
             {Script("PlayerMax.VLC", R"(tell application \"VLC\" to fullscreen\n)")}, {}, call(1));
  const auto spotify = Keys({{56, true, kShift},
                             {55, true, kCmd},
                             {3, true, kCmdShift},
                             {3, false, kCmdShift},
                             {55, false, kCmd},
                             {56, false, kShift}});
  AddIndexed(cases, "player max", 2, 1, spotify, spotify, call(2));
  const auto bareF = Keys({{3, true, std::nullopt}, {3, false, std::nullopt}});
  AddIndexed(cases, "player max", 3, 1, bareF, bareF, call(3));
  AddIndexed(cases, "player max", 4, 1, {}, {}, call(4));
  // Control flagged Shift, "f" flagged Command+Control: as the events have always been.
  const auto itunes = Keys({{59, true, kShift},
                            {55, true, kCmd},
                            {3, true, kCmdCtrl},
                            {3, false, kCmdCtrl},
                            {55, false, kCmd},
                            {59, false, kShift}});
  AddIndexed(cases, "player max", 5, 1, itunes, itunes, call(5));
  AddIndexed(cases, "player max", 6, 1, bareF, bareF, call(6));
}

inline void AddPlayerStepCases(std::vector<ActionCommandCase>& cases) {
  using hovra::actions::setPlayNext;
  using hovra::actions::setPlayPre;
  const auto next = [](int index) { return [index] { setPlayNext(index); }; };
  const auto prev = [](int index) { return [index] { setPlayPre(index); }; };
  AddIndexed(cases, "player next", 0, 1,
             {Script("PlayerNext.QuickTime",
                     R"(tell application \"QuickTime Player\" to step forward front document\n)")},
             {}, next(0));
  AddIndexed(cases, "player next", 1, 1,
             {Script("PlayerNext.VLC", R"(tell application \"VLC\" to next\n)")}, {}, next(1));
  AddIndexed(cases, "player next", 2, 1,
             {Script("PlayerNext.Spotify", R"(tell application \"Spotify\" to next track\n)")}, {},
             next(2));
  AddIndexed(
      cases, "player next", 3, 1,
      {Script("PlayerNext.MPlayerX", R"(tell application \"MPlayerX\" to goto next episode\n)")},
      {}, next(3));
  AddIndexed(cases, "player next", 4, 1, {}, {}, next(4));
  AddIndexed(cases, "player next", 5, 1,
             {Script("PlayerNext.iTunes", R"(tell application \"iTunes\" to next track\n)")}, {},
             next(5));
  const auto shiftN =
      Keys({{56, true, kShift}, {45, true, kShift}, {45, false, kShift}, {56, false, kShift}});
  AddIndexed(cases, "player next", 6, 1, shiftN, shiftN, next(6));
  AddIndexed(cases, "player prev", 0, 1,
             {Script("PlayerPrev.QuickTime",
                     R"(tell application \"QuickTime Player\" to step backward front document)")},
             {}, prev(0));
  AddIndexed(cases, "player prev", 1, 1,
             {Script("PlayerPrev.VLC", R"(tell application \"VLC\" to previous\n)")}, {}, prev(1));
  AddIndexed(cases, "player prev", 2, 1,
             {Script("PlayerPrev.Spotify", R"(tell application \"Spotify\" to previous track\n)")},
             {}, prev(2));
  AddIndexed(cases, "player prev", 3, 1,
             {Script("PlayerPrev.MPlayerX",
                     R"(tell application \"MPlayerX\" to goto previous episode\n)")},
             {}, prev(3));
  AddIndexed(cases, "player prev", 4, 1, {}, {}, prev(4));
  AddIndexed(cases, "player prev", 5, 1,
             {Script("PlayerPrev.iTunes", R"(tell application \"iTunes\" to previous track\n)")},
             {}, prev(5));
  const auto shiftP =
      Keys({{56, true, kShift}, {35, true, kShift}, {35, false, kShift}, {56, false, kShift}});
  AddIndexed(cases, "player prev", 6, 1, shiftP, shiftP, prev(6));
}

struct PresentationScripts {
  std::string_view op;         // PPTExit ...
  std::string_view frontmost;  // the command without argument, "ppt exit"
  std::string_view indexed;    // its indexed family, "wppt close"
  std::string_view keynote;    // frontmost-checked scripts
  std::string_view powerPoint;
  std::string_view keynoteDirect;  // indexed scripts
  std::string_view powerPointDirect;
  void (*call)();
  void (*callIndexed)(int);
};

inline void AddPresentation(std::vector<ActionCommandCase>& cases, const PresentationScripts& p) {
  const std::string op(p.op);
  const std::string frontmost(p.frontmost);
  std::string label = frontmost;
  for (char& c : label)
    if (c == ' ') c = '-';
  cases.push_back({label + "-all",
                   frontmost,
                   1,
                   std::string(kEverythingInstalled),
                   {Script(op + ".Keynote", p.keynote), Script(op + ".PowerPoint", p.powerPoint)},
                   {},
                   p.call});
  cases.push_back({label + "-none", frontmost, 1, std::string(kNothingInstalled), {}, {}, p.call});
  const auto call = p.callIndexed;
  AddIndexed(cases, p.indexed, 0, 1, {Script(op + ".Keynote.Direct", p.keynoteDirect)}, {},
             [call] { call(0); });
  AddIndexed(cases, p.indexed, 1, 1, {Script(op + ".PowerPoint.Direct", p.powerPointDirect)}, {},
             [call] { call(1); });
}

inline void AddPresentationCases(std::vector<ActionCommandCase>& cases) {
  namespace a = hovra::actions;
  const std::string all(kEverythingInstalled);
  cases.push_back({"ppt-run", "ppt run", 1, all, {}, {}, [] { a::PPTRun(); }});
  cases.push_back({"ppt-switch", "ppt switch", 1, all, MaximizeKeys(), {}, [] { a::PPTSwitch(); }});
  AddPresentation(
      cases,
      {"PPTExit", "ppt exit", "wppt close",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to quit\n end if\nend tell\n)js",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\n  tell application \"Microsoft PowerPoint\" to quit\n end if\nend tell\n)js",
       R"js(tell application \"Keynote\" to quit)js",
       R"js(tell application \"Microsoft PowerPoint\" to quit)js", [] { a::PPTExit(); },
       [](int i) { a::PPTExit(i); }});
  AddPresentation(
      cases,
      {"PPTPlay", "ppt play", "wppt play",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to start slideshow\nend if\nend tell\n)js",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to run slide show slide show settings of active presentation\n end if\nend tell\n)js",
       R"js(tell application \"Keynote\" to start slideshow)js",
       R"js(tell application \"Microsoft PowerPoint\" to run slide show slide show settings of active presentation)js",
       [] { a::PPTPlay(); }, [](int i) { a::PPTPlay(i); }});
  AddPresentation(
      cases,
      {"PPTStop", "ppt stop", "wppt stop",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to stop slideshow\nend if\nend tell\n)js",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to exit slide show slide show view of slide show window of active presentation\n end if\nend tell\n)js",
       R"js(tell application \"Keynote\" to stop slideshow)js",
       R"js(tell application \"Microsoft PowerPoint\" to exit slide show slide show view of slide show window of active presentation)js",
       [] { a::PPTStop(); }, [](int i) { a::PPTStop(i); }});
  AddPresentation(
      cases,
      {"PPTPgUp", "ppt pgup", "wppt prev",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to show previous\nend if\nend tell\n)js",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to go to previous slide slide show view of slide show window of active presentation\n end if\nend tell\n)js",
       R"js(tell application \"Keynote\" to show previous)js",
       R"js(tell application \"Microsoft PowerPoint\" to go to previous slide slide show view of slide show window of active presentation)js",
       [] { a::PPTPgUp(); }, [](int i) { a::PPTPgUp(i); }});
  AddPresentation(
      cases,
      {"PPTPgDn", "ppt pgdn", "wppt next",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to show next\nend if\nend tell\n)js",
       R"js(tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to go to next slide slide show view of slide show window of active presentation\n end if\nend tell\n)js",
       R"js(tell application \"Keynote\" to show next)js",
       R"js(tell application \"Microsoft PowerPoint\" to go to next slide slide show view of slide show window of active presentation)js",
       [] { a::PPTPgDn(); }, [](int i) { a::PPTPgDn(i); }});
  cases.push_back({"wppt-next-2", "wppt next 2", 1, all, {}, {}, nullptr});
}

}  // namespace action_cases

// Every case, built once.
inline const std::vector<ActionCommandCase>& ActionCommandCases() {
  static const std::vector<ActionCommandCase> cases = [] {
    std::vector<ActionCommandCase> all;
    action_cases::AddSystemCases(all);
    action_cases::AddBrowserCases(all);
    action_cases::AddPowerCases(all);
    action_cases::AddMediaCases(all);
    action_cases::AddPlayerPlayCases(all);
    action_cases::AddPlayerMaxCases(all);
    action_cases::AddPlayerStepCases(all);
    action_cases::AddPresentationCases(all);
    return all;
  }();
  return cases;
}

}  // namespace hovra::testing
