#include "server/security/guess_penalties.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "tests/support/fake_clock.h"

namespace hovra::security {
namespace {

using ::testing::_;
using testing::FakeClock;
using ::testing::FieldsAre;
using Verdict = GuessPenalties::Verdict;

SourceKey Source(const char* text) { return SourceKeyOf(*IpAddress::Parse(text)); }

constexpr GuessLimits kNoBudget{.budgetPerWindow = 1 << 30};  // only the per-source rule

TEST(GuessPenalties, FiveFreeThenDoublingWaitsUpToFifteenMinutes) {
  FakeClock clock;
  GuessPenalties penalties(kNoBudget, clock.Function());
  SourceKey a = Source("192.168.1.20");
  for (int n = 1; n <= 4; ++n) {
    ASSERT_EQ(penalties.BeforeCheck(a).verdict, Verdict::kCheck) << n;
    EXPECT_EQ(penalties.RecordFailure(a).wait, 0ms) << n;
  }
  // Failure n (from the fifth) is followed by a wait of 2^(n-5) seconds, at most 15 minutes.
  const std::chrono::seconds waits[] = {1s,   2s,   4s,   8s,   16s,  32s, 64s,
                                        128s, 256s, 512s, 900s, 900s, 900s};
  int n = 5;
  for (std::chrono::seconds wait : waits) {
    ASSERT_EQ(penalties.BeforeCheck(a).verdict, Verdict::kCheck) << n;
    EXPECT_THAT(penalties.RecordFailure(a), FieldsAre(n, wait, _)) << n;
    EXPECT_THAT(penalties.BeforeCheck(a), FieldsAre(Verdict::kSourceWaits, wait, _)) << n;
    clock.Advance(wait - 1ms);
    EXPECT_EQ(penalties.BeforeCheck(a).verdict, Verdict::kSourceWaits) << "refusals change nothing";
    clock.Advance(1ms);
    ++n;
  }
}

TEST(GuessPenalties, CountsPerSourceAcrossConnectionsAndACorrectAnswerClears) {
  FakeClock clock;
  GuessPenalties penalties(kNoBudget, clock.Function());
  // One IPv6 host picks addresses in its /64 at will: they are one source.
  const char* sameSource[] = {"2001:db8:1:2::10", "2001:db8:1:2::11", "2001:db8:1:2:aaaa::1",
                              "2001:db8:1:2::12", "2001:db8:1:2::13"};
  for (const char* address : sameSource) penalties.RecordFailure(Source(address));
  EXPECT_EQ(penalties.Failures(Source("2001:db8:1:2::99")), 5);
  EXPECT_EQ(Source("2001:db8:1:2::99").Text(), "2001:db8:1:2::/64");
  EXPECT_EQ(penalties.BeforeCheck(Source("2001:db8:1:2::99")).verdict, Verdict::kSourceWaits);
  EXPECT_EQ(penalties.BeforeCheck(Source("2001:db8:1:3::10")).verdict, Verdict::kCheck);
  // An IPv4 client is counted by its address, whichever socket family it came through.
  sockaddr_in6 mapped{};
  mapped.sin6_family = AF_INET6;
  ASSERT_EQ(::inet_pton(AF_INET6, "::ffff:192.168.1.7", &mapped.sin6_addr), 1);
  auto fromListener = IpAddress::FromSockaddr(reinterpret_cast<sockaddr*>(&mapped), sizeof mapped);
  ASSERT_TRUE(fromListener);
  for (int i = 0; i < 5; ++i) penalties.RecordFailure(SourceKeyOf(*fromListener));
  EXPECT_EQ(penalties.BeforeCheck(Source("192.168.1.7")).verdict, Verdict::kSourceWaits);
  EXPECT_EQ(penalties.BeforeCheck(Source("192.168.1.8")).verdict, Verdict::kCheck);

  penalties.RecordSuccess(Source("192.168.1.7"));
  EXPECT_EQ(penalties.Failures(Source("192.168.1.7")), 0);
  EXPECT_EQ(penalties.BeforeCheck(Source("192.168.1.7")).verdict, Verdict::kCheck);
  EXPECT_EQ(penalties.Failures(Source("2001:db8:1:2::1")), 5) << "other sources keep theirs";

  clock.Advance(24h);  // a source quiet for a day starts afresh
  EXPECT_EQ(penalties.Failures(Source("2001:db8:1:2::1")), 0);
}

TEST(GuessPenalties, GlobalBudgetRefusesUncheckedUntilTheMinuteHasPassed) {
  FakeClock clock;
  GuessPenalties penalties({}, clock.Function());
  ASSERT_EQ(penalties.Limits().budgetPerWindow, 2);
  penalties.RecordFailure(Source("10.0.0.1"));
  clock.Advance(10s);
  penalties.RecordFailure(Source("10.0.0.2"));
  for (const char* other : {"10.0.0.3", "10.0.0.1", "fe80::5"})
    EXPECT_THAT(penalties.BeforeCheck(Source(other)), FieldsAre(Verdict::kBudgetSpent, 50s, _))
        << other;
  EXPECT_EQ(penalties.Failures(Source("10.0.0.3")), 0) << "a refused answer is not counted";
  clock.Advance(50s);
  EXPECT_EQ(penalties.BeforeCheck(Source("10.0.0.3")).verdict, Verdict::kCheck);
  penalties.RecordFailure(Source("10.0.0.3"));
  EXPECT_EQ(penalties.BeforeCheck(Source("10.0.0.4")).verdict, Verdict::kCheck);
}

TEST(GuessPenalties, TellsTheDesktopOncePerEpisode) {
  FakeClock clock;
  GuessPenalties penalties(kNoBudget, clock.Function());
  auto notices = [&](const char* address, int failures) {
    int count = 0;
    for (int i = 0; i < failures; ++i) {
      clock.Advance(1min);  // past any wait this test reaches
      count += penalties.BeforeCheck(Source(address)).notify;
      count += penalties.RecordFailure(Source(address)).notify;
    }
    return count;
  };
  EXPECT_EQ(notices("192.168.1.30", 4), 0) << "a few typing mistakes are no episode";
  EXPECT_EQ(notices("192.168.1.30", 1), 1) << "the fifth begins one";
  EXPECT_EQ(notices("192.168.1.30", 3), 0);
  EXPECT_EQ(notices("192.168.1.31", 6), 0) << "a second source in the same episode";
  clock.Advance(15min);  // quiet: the episode is over
  EXPECT_EQ(notices("192.168.1.31", 1), 1);

  GuessPenalties budget({.episodeQuiet = 1min}, clock.Function());
  budget.RecordFailure(Source("10.0.0.1"));
  budget.RecordFailure(Source("10.0.0.2"));
  EXPECT_TRUE(budget.BeforeCheck(Source("10.0.0.3")).notify) << "a spent budget is guessing too";
  EXPECT_FALSE(budget.BeforeCheck(Source("10.0.0.4")).notify);
}

TEST(GuessPenalties, ManySourcesCannotGrowTheTable) {
  FakeClock clock;
  GuessPenalties penalties({.budgetPerWindow = 1 << 30, .maxSources = 64}, clock.Function());
  for (int i = 0; i < 1000; ++i) {
    clock.Advance(1ms);
    penalties.RecordFailure(
        Source(("10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1)).c_str()));
  }
  EXPECT_EQ(penalties.TrackedSources(), 64u);
}

}  // namespace
}  // namespace hovra::security
