#include "server/security/guess_penalties.h"

#include <algorithm>

namespace hovra::security {

std::string GuessingNoticeText(std::string_view address) {
  return "Someone at " + std::string(address) + " is guessing the PIN";
}

GuessPenalties::GuessPenalties(GuessLimits limits, SteadyClock clock)
    : limits_(limits), clock_(clock), episode_(limits.episodeQuiet, clock) {}

std::chrono::milliseconds GuessPenalties::WaitAfter(int failures) const {
  if (failures < limits_.freeFailures) return std::chrono::milliseconds(0);
  std::chrono::milliseconds wait = limits_.firstWait;
  for (int n = limits_.freeFailures; n < failures && wait < limits_.longestWait; ++n) wait *= 2;
  return std::min(wait, limits_.longestWait);
}

GuessPenalties::Record* GuessPenalties::Find(const SourceKey& source, SteadyTime now) {
  auto found = sources_.find(source);
  if (found == sources_.end()) return nullptr;
  if (now - found->second.lastFailure >= limits_.forgetAfter) {
    sources_.erase(found);
    return nullptr;
  }
  return &found->second;
}

// Forgets the quiet sources, and when that is not enough the one quiet the longest: a
// flood of new sources cannot grow the table, and the global budget still holds for all.
void GuessPenalties::MakeRoom(SteadyTime now) {
  if (sources_.size() < limits_.maxSources) return;
  std::erase_if(sources_, [&](const auto& entry) {
    return now - entry.second.lastFailure >= limits_.forgetAfter;
  });
  if (sources_.size() < limits_.maxSources || sources_.empty()) return;
  auto oldest = std::min_element(
      sources_.begin(), sources_.end(),
      [](const auto& a, const auto& b) { return a.second.lastFailure < b.second.lastFailure; });
  sources_.erase(oldest);
}

GuessPenalties::Gate GuessPenalties::BeforeCheck(const SourceKey& source) {
  SteadyTime now = clock_();
  Gate gate;
  if (Record* record = Find(source, now)) {
    SteadyTime allowedAt = record->lastFailure + WaitAfter(record->failures);
    if (now < allowedAt) {
      gate.verdict = Verdict::kSourceWaits;
      gate.wait = std::chrono::ceil<std::chrono::milliseconds>(allowedAt - now);
    }
  }
  SteadyTime windowEnd = windowStart_ + limits_.budgetWindow;
  if (gate.verdict == Verdict::kCheck && wrongInWindow_ >= limits_.budgetPerWindow &&
      now < windowEnd) {
    gate.verdict = Verdict::kBudgetSpent;
    gate.wait = std::chrono::ceil<std::chrono::milliseconds>(windowEnd - now);
  }
  if (gate.verdict != Verdict::kCheck) gate.notify = episode_.Note();
  return gate;
}

GuessPenalties::Failure GuessPenalties::RecordFailure(const SourceKey& source) {
  SteadyTime now = clock_();
  if (wrongInWindow_ == 0 || now - windowStart_ >= limits_.budgetWindow) {
    windowStart_ = now;
    wrongInWindow_ = 0;
  }
  ++wrongInWindow_;
  Record* record = Find(source, now);
  if (record == nullptr) {
    MakeRoom(now);
    record = &sources_[source];
  }
  if (record->failures < limits_.freeFailures + 64)
    ++record->failures;  // the wait is capped long before
  record->lastFailure = now;
  Failure failure{record->failures, WaitAfter(record->failures), false};
  if (record->failures >= limits_.freeFailures) failure.notify = episode_.Note();
  return failure;
}

void GuessPenalties::RecordSuccess(const SourceKey& source) { sources_.erase(source); }

int GuessPenalties::Failures(const SourceKey& source) {
  Record* record = Find(source, clock_());
  return record ? record->failures : 0;
}

}  // namespace hovra::security
