// The frontmost application as clients hear of it: the last regular application seen
// launched or activated, reported on request ("reportCurrentApp") and on every change to
// the clients that asked. Notification texts taken from clients are remembered here too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hovra {

inline constexpr size_t kRememberedNotices = 1024;  // distinct texts kept against repeats

// Written on the main thread when an application is launched or activated.
void SetActivatedApp(std::string_view bundleId);
// "currentapp %s\n" with the last activated application (empty before the first one).
std::string getLastActivatedapp();
// The report text for a bundle identifier; never cut, however long the identifier.
std::string CurrentAppReport(std::string_view bundleId);

// Takes a "Msg||text||url" line for display: each distinct text is shown once, whatever its
// address (of the last kRememberedNotices texts). Lines without both markers are ignored.
// Control characters in the text are shown escaped; a link that is not an http or https
// address is left out (and logged).
void HandleNotifyMsg(const char* line);

}  // namespace hovra
