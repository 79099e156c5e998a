// Announcement datagrams and the millisecond clock.
#include <gtest/gtest.h>

#include "server/discovery.h"
#include "server/time_tick.h"

namespace hovra {
namespace {

// Names that do not fit the three digits become the fallback.
TEST(Announcement, CountsTheNameInUtf8BytesRightAligned) {
  const std::pair<std::string, std::string> cases[] = {
      {"Joe's Mac", "BC  9Joe's Mac"},
      {"Ren\xC3\xA9", "BC  5Ren\xC3\xA9"},
      {"", "BC  0"},
      {std::string(127, 'n'), "BC127" + std::string(127, 'n')},
      {std::string(128, 'n'), "BC  8Mac OS X"},
  };
  for (const auto& [name, datagram] : cases) EXPECT_EQ(BuildAnnouncement(name), datagram);
}

TEST(AnnounceTarget, ParsesIpv4AndPort) {
  sockaddr_in target{};
  ASSERT_TRUE(ParseAnnounceTarget("127.0.0.1:3111", target));
  EXPECT_EQ(ntohs(target.sin_port), 3111);
  EXPECT_EQ(ntohl(target.sin_addr.s_addr), 0x7F000001u);
  for (const char* bad : {"127.0.0.1", "127.0.0.1:70000", "localhost:3111", "127.0.0.1:31x"})
    EXPECT_FALSE(ParseAnnounceTarget(bad, target)) << bad;
}

TEST(TimeTick, IsExactAcrossASecondBoundaryAndWrapsAsUnsigned32Bits) {
  timeval start{100, 900000};
  EXPECT_EQ(TimeTickBetween(start, timeval{101, 100000}), 200u);
  EXPECT_EQ(TimeTickBetween(start, timeval{100, 900999}), 0u);
  EXPECT_EQ(TimeTickBetween(start, timeval{105, 899999}), 4999u);
  // 4294968 s is just past 2^32 ms: the tick wraps to a small value.
  EXPECT_EQ(TimeTickBetween(timeval{0, 0}, timeval{4294968, 0}), 4294968000u - 4294967296u);
}

}  // namespace
}  // namespace hovra
