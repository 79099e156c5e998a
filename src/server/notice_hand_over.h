// A message for the notification panel, handed from the thread that has it (the worker
// for a client's "Msg||" line, a start-up task for the address list) to the main-thread
// timer, which shows it. A newer message replaces one not yet shown.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace hovra {

inline constexpr size_t kNoticeMessageBytes = 1023;  // text, without its terminating NUL
inline constexpr size_t kNoticeUrlBytes = 2047;

struct Notice {
  std::string message;
  std::string url;
};

// Raised after the texts are complete; the timer looks at it every tick.
extern std::atomic<bool> g_showMsg;

// Stores the texts (cut at a character boundary when over-long) and raises g_showMsg.
void OfferNotice(std::string_view message, std::string_view url);
// The waiting notice, lowering g_showMsg; nothing when none waits (main thread).
std::optional<Notice> TakeNotice();

// The longest prefix of `text` of at most `limit` bytes that does not cut a UTF-8 character.
std::string_view CutAtCharacter(std::string_view text, size_t limit);

}  // namespace hovra
