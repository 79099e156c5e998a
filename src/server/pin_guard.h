// The "verifypassword " check as the server carries it out for a peer: the answer reaches
// the PIN check only while the peer's source has no wait to sit out and the budget of
// wrong answers for all sources is not spent; otherwise it is refused unchecked, which a
// client cannot tell from a wrong answer. Refusals are logged with the source's address a
// few lines a second at most; the desktop is told once per episode of guessing. One per
// server, worker thread only.
//   PinGuard guard(limits, clock, check);
//   bool right = guard.Check(answer, client.peerAddress);
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "base/rate_limit.h"
#include "server/security/guess_penalties.h"
#include "server/security/ip_address.h"

namespace hovra {

// Whether `answer` is the PIN. `from` (the source's address) and `wrongAnswers` (from there
// so far, this answer included when wrong) are for the line a wrong answer is logged with.
using PinCheck = std::function<bool(const char* answer, const std::string& from, int wrongAnswers)>;

class PinGuard {
 public:
  PinGuard(security::GuessLimits limits, SteadyClock clock, PinCheck check);

  // A peer without an address (a local socket) counts as one source, "0.0.0.0".
  bool Check(const char* answer, const std::optional<security::IpAddress>& peer);

 private:
  void LogRefusal(const security::GuessPenalties::Gate& gate, const security::SourceKey& source,
                  const std::string& from);
  static void TellDesktop(const std::string& from);

  security::GuessPenalties penalties_;
  PinCheck check_;
  LineRateLimiter refusalLines_;
};

}  // namespace hovra
