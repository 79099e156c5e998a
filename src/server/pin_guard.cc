#include "server/pin_guard.h"

#include "base/log.h"
#include "server/security/security_notices.h"

namespace hovra {
namespace {

using security::GuessPenalties;

// A guessing run must not flood the log: a few lines at once, then one a second.
constexpr double kRefusalLinesPerSecond = 1;
constexpr double kRefusalLineBurst = 5;

std::string Seconds(std::chrono::milliseconds wait) {
  return std::to_string(std::chrono::ceil<std::chrono::seconds>(wait).count()) + " s";
}

}  // namespace

PinGuard::PinGuard(security::GuessLimits limits, SteadyClock clock, PinCheck check)
    : penalties_(limits, std::move(clock)),
      check_(std::move(check)),
      refusalLines_(kRefusalLinesPerSecond, kRefusalLineBurst) {}

bool PinGuard::Check(const char* answer, const std::optional<security::IpAddress>& peer) {
  const security::IpAddress address = peer.value_or(security::IpAddress{});
  const security::SourceKey source = security::SourceKeyOf(address);
  const std::string from = address.Text();
  const GuessPenalties::Gate gate = penalties_.BeforeCheck(source);
  if (gate.notify) TellDesktop(from);
  if (gate.verdict != GuessPenalties::Verdict::kCheck) {
    LogRefusal(gate, source, from);
    return false;
  }
  const int wrongIfWrong = penalties_.Failures(source) + 1;
  if (check_ && check_(answer != nullptr ? answer : "", from, wrongIfWrong)) {
    penalties_.RecordSuccess(source);
    return true;
  }
  if (penalties_.RecordFailure(source).notify) TellDesktop(from);
  return false;
}

void PinGuard::LogRefusal(const GuessPenalties::Gate& gate, const security::SourceKey& source,
                          const std::string& from) {
  uint64_t held = 0;
  if (!refusalLines_.Allow(held)) return;
  const std::string skipped =
      held > 0 ? " (" + std::to_string(held) + " more refusals were not logged)" : "";
  if (gate.verdict == GuessPenalties::Verdict::kSourceWaits) {
    Log("a PIN answer from %s was refused unchecked: after %d wrong answers it waits %s more%s",
        from.c_str(), penalties_.Failures(source), Seconds(gate.wait).c_str(), skipped.c_str());
  } else {
    const security::GuessLimits& limits = penalties_.Limits();
    Log("a PIN answer from %s was refused unchecked: the %d wrong answers checked per %s from "
        "all addresses together are used up for %s more%s",
        from.c_str(), limits.budgetPerWindow, Seconds(limits.budgetWindow).c_str(),
        Seconds(gate.wait).c_str(), skipped.c_str());
  }
}

void PinGuard::TellDesktop(const std::string& from) {
  std::string text = security::GuessingNoticeText(from);
  Log("%s: its answers are slowed down; the desktop is told", text.c_str());
  security::PostSecurityNotice(std::move(text));
}

}  // namespace hovra
