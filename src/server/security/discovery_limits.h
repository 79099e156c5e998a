// Which search probes discovery answers. A probe is small and its reply several times
// larger, so a forged source address would make the server a reflector: replies go only
// to peers on a directly connected network, at most a few a second per source and a named
// number a second in all. Refusals are meant to be logged once per episode.
//   DiscoveryLimits limits;                        // worker thread
//   DiscoveryLimits::Decision d = limits.Decide(peer);
//   if (d.log) Log("discovery: %s", DiscoveryLimits::Describe(d.verdict, peer).c_str());
//   if (d.verdict == DiscoveryLimits::Verdict::kReply) SendReply();
#pragma once

#include <chrono>
#include <string>

#include "base/rate_limit.h"
#include "server/security/ip_address.h"
#include "server/security/local_network.h"

namespace hovra::security {

using namespace std::chrono_literals;

struct DiscoveryRates {
  double perSourcePerSecond = 2;  // a phone searching sends one probe at a time
  double perSourceBurst = 4;
  double allPerSecond = 20;  // kProbeRepliesPerSecond: all sources together
  double allBurst = 20;
  size_t sourcesRemembered = 1024;
  std::chrono::milliseconds refusalQuiet = 60s;  // an episode of refusals ends after this
};

class DiscoveryLimits {
 public:
  enum class Verdict { kReply, kNotLocal, kSourceLimited, kAllLimited };
  struct Decision {
    Verdict verdict = Verdict::kReply;
    bool log = false;  // the first refusal of its kind in an episode
  };

  explicit DiscoveryLimits(DiscoveryRates rates = {},
                           LocalNetworks::Provider interfaces = LocalNetworksFromInterfaces,
                           SteadyClock clock = RealSteadyClock());

  Decision Decide(const IpAddress& peer);
  static std::string Describe(Verdict verdict, const IpAddress& peer);

 private:
  SteadyClock clock_;
  LocalNetworks local_;
  KeyedRateLimiter<SourceKey> perSource_;
  TokenBucket all_;
  Episode notLocal_;
  Episode sourceLimited_;
  Episode allLimited_;
};

}  // namespace hovra::security
