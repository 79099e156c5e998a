// Diagnostics for the operator. Clients never see a failure (the protocol has no error
// messages), so everything worth knowing while debugging goes to standard error:
//   Log        - the diagnostic log, one timestamped line per call;
//   Debug      - the same, written only with --verbose (SetVerbose);
//   LogBlock   - text a person reads at start-up, written as it stands.
// Standard output belongs to the journal when it goes there, and to the answer of a
// subcommand (`hovra-server password show`): PrintLine writes those answers.
// All are safe to call from any thread; each call writes whole lines in one piece.
#pragma once

#include <atomic>
#include <string_view>

namespace hovra {

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Debug(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogBlock(std::string_view text);
void PrintLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SetVerbose(bool on);
bool IsVerbose();

// Lets a condition that may repeat quickly be logged once, not once per occurrence.
// Re-arm() after the condition has cleared so that its next episode is logged again.
class LogOnce {
 public:
  bool First() { return !done_.exchange(true, std::memory_order_relaxed); }
  void Rearm() { done_.store(false, std::memory_order_relaxed); }

 private:
  std::atomic<bool> done_{false};
};

}  // namespace hovra
