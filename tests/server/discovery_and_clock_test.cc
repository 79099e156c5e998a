// Announcement datagrams and the millisecond clock.
#include <gtest/gtest.h>

#include "server/discovery.h"
#include "server/time_tick.h"

namespace hovra {
namespace {

TEST(Announcement, CountsTheNameInUtf8BytesRightAligned) {
  EXPECT_EQ(BuildAnnouncement("Joe's Mac"), "BC  9Joe's Mac");
  EXPECT_EQ(BuildAnnouncement(std::string(100, 'n')), "BC100" + std::string(100, 'n'));
  EXPECT_EQ(BuildAnnouncement("Ren\xC3\xA9"), "BC  5Ren\xC3\xA9");
  EXPECT_EQ(BuildAnnouncement(""), "BC  0");
}

TEST(Announcement, NamesThatDoNotFitBecomeTheFallback) {
  EXPECT_EQ(BuildAnnouncement(std::string(127, 'n')), "BC127" + std::string(127, 'n'));
  EXPECT_EQ(BuildAnnouncement(std::string(128, 'n')), "BC  8Mac OS X");
}

TEST(AnnounceTarget, ParsesIpv4AndPort) {
  sockaddr_in target{};
  ASSERT_TRUE(ParseAnnounceTarget("127.0.0.1:3111", target));
  EXPECT_EQ(ntohs(target.sin_port), 3111);
  EXPECT_EQ(ntohl(target.sin_addr.s_addr), 0x7F000001u);
  EXPECT_FALSE(ParseAnnounceTarget("127.0.0.1", target));
  EXPECT_FALSE(ParseAnnounceTarget("127.0.0.1:70000", target));
  EXPECT_FALSE(ParseAnnounceTarget("localhost:3111", target));
  EXPECT_FALSE(ParseAnnounceTarget("127.0.0.1:31x", target));
}

TEST(TimeTick, IsExactAcrossASecondBoundary) {
  timeval start{100, 900000};
  EXPECT_EQ(TimeTickBetween(start, timeval{101, 100000}), 200u);
  EXPECT_EQ(TimeTickBetween(start, timeval{100, 900999}), 0u);
  EXPECT_EQ(TimeTickBetween(start, timeval{105, 899999}), 4999u);
}

TEST(TimeTick, WrapsAsUnsigned32Bits) {
  timeval start{0, 0};
  // 4294968 s is just past 2^32 ms: the tick wraps to a small value.
  EXPECT_EQ(TimeTickBetween(start, timeval{4294968, 0}), 4294968000u - 4294967296u);
}

}  // namespace
}  // namespace hovra
