// Slows PIN guessing down whatever an attacker does. Wrong answers are counted per source
// (IPv4 address, IPv6 /64) across connections; after the fifth a source must wait before
// its next answer is checked, the wait doubling per further wrong answer up to fifteen
// minutes. Across all sources at most a budget of wrong answers is checked per minute;
// answers beyond it are refused unchecked until the minute has passed. A correct answer
// clears its source. The desktop is to be told once per episode of guessing.
//   GuessPenalties penalties;                         // one per server, worker thread only
//   Gate gate = penalties.BeforeCheck(source);
//   if (gate.notify) OfferNotice(GuessingNoticeText(peer.Text()), "");
//   if (gate.verdict != Verdict::kCheck) -> "verifypassword failed", nothing checked
//   else if (verifyPassword(answer)) penalties.RecordSuccess(source);
//   else if (penalties.RecordFailure(source).notify) OfferNotice(...);
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/rate_limit.h"
#include "server/security/ip_address.h"

namespace hovra::security {

using namespace std::chrono_literals;

struct GuessLimits {
  int freeFailures = 5;                            // wrong answers before a source waits
  std::chrono::milliseconds firstWait = 1s;        // after the fifth; doubles per further one
  std::chrono::milliseconds longestWait = 15min;   // where the doubling stops
  int budgetPerWindow = 2;                         // wrong answers checked, all sources together
  std::chrono::milliseconds budgetWindow = 1min;   // the budget's period
  std::chrono::milliseconds forgetAfter = 24h;     // a source quiet this long starts afresh
  size_t maxSources = 4096;                        // sources remembered at once
  std::chrono::milliseconds episodeQuiet = 15min;  // guessing ends after this long without any
};

// The desktop notice, "Someone at ADDRESS is guessing the PIN".
std::string GuessingNoticeText(std::string_view address);

class GuessPenalties {
 public:
  explicit GuessPenalties(GuessLimits limits = {}, SteadyClock clock = RealSteadyClock());

  enum class Verdict { kCheck, kSourceWaits, kBudgetSpent };
  struct Gate {
    Verdict verdict = Verdict::kCheck;
    std::chrono::milliseconds wait{0};  // until an answer would be checked again
    bool notify = false;                // the first sign of this episode: tell the desktop
  };
  // Asked before an answer from `source` is checked. Anything but kCheck means: refuse the
  // answer unchecked. A refused answer is not counted as a wrong one.
  Gate BeforeCheck(const SourceKey& source);

  struct Failure {
    int failures = 0;                   // of this source, this one included
    std::chrono::milliseconds wait{0};  // before its next answer is checked
    bool notify = false;
  };
  Failure RecordFailure(const SourceKey& source);
  void RecordSuccess(const SourceKey& source);

  int Failures(const SourceKey& source);
  size_t TrackedSources() const { return sources_.size(); }
  const GuessLimits& Limits() const { return limits_; }

 private:
  struct Record {
    int failures = 0;
    SteadyTime lastFailure{};
  };

  std::chrono::milliseconds WaitAfter(int failures) const;
  Record* Find(const SourceKey& source, SteadyTime now);
  void MakeRoom(SteadyTime now);

  GuessLimits limits_;
  SteadyClock clock_;
  std::unordered_map<SourceKey, Record> sources_;
  SteadyTime windowStart_{};
  int wrongInWindow_ = 0;
  Episode episode_;
};

}  // namespace hovra::security
