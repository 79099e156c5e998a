// Diagnostics for the operator. Clients never see a failure (the protocol has no error
// messages), so everything worth knowing while debugging goes to these two streams:
//   Log        - the diagnostic log (standard error), one timestamped line per call;
//   PrintLine  - standard output, for the few lines the server prints as part of its work
//                ("sending: ...", "appPath vlc").
// Both are safe to call from any thread; each call writes one whole line.
#pragma once

#include <atomic>

namespace hovra {

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PrintLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

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
