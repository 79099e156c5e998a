#include "server/security/discovery_limits.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_clock.h"

namespace hovra::security {
namespace {

using testing::FakeClock;
using Verdict = DiscoveryLimits::Verdict;

IpAddress Ip(const char* text) { return *IpAddress::Parse(text); }

// A laptop on a home network with a VPN and IPv6.
std::vector<LocalNetwork> Interfaces() {
  return {{Ip("127.0.0.1"), 8},         {Ip("::1"), 128},      {Ip("192.168.1.10"), 24},
          {Ip("10.8.0.6"), 32},         {Ip("10.8.0.5"), 32},  // point-to-point and its peer
          {Ip("2001:db8:1:2::10"), 64}, {Ip("fe80::1234"), 64}};
}

// Broadcast, network, unspecified and multicast addresses are no peers.
TEST(LocalNetwork, AnswersOnlyPeersOnADirectlyConnectedNetwork) {
  const std::vector<LocalNetwork> interfaces = Interfaces();
  for (const char* local : {"192.168.1.77", "192.168.1.10", "127.0.0.1", "127.4.5.6", "::1",
                            "10.8.0.5", "2001:db8:1:2::99", "169.254.7.8", "fe80::abcd"})
    EXPECT_TRUE(IsDirectlyConnected(Ip(local), interfaces)) << local;
  for (const char* far :
       {"192.168.2.77", "10.8.0.7", "8.8.8.8", "2001:db8:1:3::1", "192.168.1.255", "192.168.1.0",
        "0.0.0.0", "255.255.255.255", "224.0.0.251", "ff02::1", "::"})
    EXPECT_FALSE(IsDirectlyConnected(Ip(far), interfaces)) << far;
}

TEST(DiscoveryLimits, AProbeFloodDrawsAtMostTheLimits) {
  FakeClock clock;
  int interfaceReads = 0;
  auto interfaces = [&] {
    ++interfaceReads;
    return Interfaces();
  };
  DiscoveryLimits limits({}, interfaces, clock.Function());
  int logs = 0;
  // Replies to probes from 192.168.1.77, or (`forged`) from 192.168.1.1, .2, ... in turn.
  auto replies = [&](int probes, bool forged) {
    int n = 0;
    for (int i = 1; i <= probes; ++i) {
      const std::string peer = "192.168.1." + std::to_string(forged ? i : 77);
      DiscoveryLimits::Decision d = limits.Decide(Ip(peer.c_str()));
      n += d.verdict == Verdict::kReply;
      logs += d.log;
    }
    return n;
  };
  EXPECT_EQ(replies(1000, false), 4) << "the burst of one source";
  EXPECT_EQ(logs, 1) << "logged once per episode";
  clock.Advance(1s);
  EXPECT_EQ(replies(1000, false), 2) << "then two a second";
  clock.Advance(10s);
  EXPECT_EQ(replies(250, true), 20) << "forged sources, each new: the limit of all together";
  EXPECT_EQ(interfaceReads, 1) << "the interface list is not read per probe";
  clock.Advance(kInterfaceRefresh);
  limits.Decide(Ip("192.168.1.5"));
  EXPECT_EQ(interfaceReads, 2) << "but read again now and then";
}

TEST(DiscoveryLimits, ANonLocalProbeIsNotAnsweredAndLoggedOncePerEpisode) {
  FakeClock clock;
  DiscoveryLimits limits({}, Interfaces, clock.Function());
  EXPECT_THAT(limits.Decide(Ip("203.0.113.9")), ::testing::FieldsAre(Verdict::kNotLocal, true));
  EXPECT_FALSE(limits.Decide(Ip("203.0.113.10")).log);
  EXPECT_NE(DiscoveryLimits::Describe(Verdict::kNotLocal, Ip("203.0.113.9")).find("203.0.113.9"),
            std::string::npos);
  clock.Advance(61s);
  EXPECT_TRUE(limits.Decide(Ip("203.0.113.9")).log);
  EXPECT_EQ(limits.Decide(Ip("192.168.1.20")).verdict, Verdict::kReply);
}

}  // namespace
}  // namespace hovra::security
