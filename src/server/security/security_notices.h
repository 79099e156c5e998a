// Notices the user must not miss (settings that could not be read and the new PIN drawn
// in their place; someone guessing the PIN): queued here by whichever thread found the
// problem, shown by the main-thread timer ahead of other notices and each for its full
// time. One posted before the timer runs (at start-up) waits for it instead of being
// replaced by the address list. Thread-safe.
#pragma once

#include <optional>
#include <string>

namespace hovra::security {

inline constexpr size_t kMostQueuedSecurityNotices = 8;  // older ones give way

void PostSecurityNotice(std::string message);
std::optional<std::string> TakeSecurityNotice();  // main thread

}  // namespace hovra::security
