#include "server/security/discovery_limits.h"

namespace hovra::security {

DiscoveryLimits::DiscoveryLimits(DiscoveryRates rates, LocalNetworks::Provider interfaces,
                                 SteadyClock clock)
    : clock_(clock),
      local_(std::move(interfaces), kInterfaceRefresh, clock),
      perSource_(rates.perSourcePerSecond, rates.perSourceBurst, rates.sourcesRemembered, clock),
      all_(rates.allPerSecond, rates.allBurst, clock()),
      notLocal_(rates.refusalQuiet, clock),
      sourceLimited_(rates.refusalQuiet, clock),
      allLimited_(rates.refusalQuiet, clock) {}

DiscoveryLimits::Decision DiscoveryLimits::Decide(const IpAddress& peer) {
  if (!local_.Contains(peer)) return {Verdict::kNotLocal, notLocal_.Note()};
  if (!perSource_.Allow(SourceKeyOf(peer))) return {Verdict::kSourceLimited, sourceLimited_.Note()};
  if (!all_.Take(clock_())) return {Verdict::kAllLimited, allLimited_.Note()};
  return {};
}

std::string DiscoveryLimits::Describe(Verdict verdict, const IpAddress& peer) {
  const std::string address = peer.Text();
  switch (verdict) {
    case Verdict::kReply:
      return "answering a probe from " + address;
    case Verdict::kNotLocal:
      return "not answering probes from " + address +
             ", which is on no directly connected network (logged once per episode)";
    case Verdict::kSourceLimited:
      return "probes from " + address +
             " come faster than they are answered; the rest are dropped (logged once per "
             "episode)";
    case Verdict::kAllLimited:
      return "probes come faster than they are answered (last from " + address +
             "); the rest are dropped (logged once per episode)";
  }
  return {};
}

}  // namespace hovra::security
