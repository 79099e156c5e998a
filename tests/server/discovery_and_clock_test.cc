// Announcement datagrams, the millisecond clock and the bounded reply writer.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "server/discovery.h"
#include "server/send_data.h"
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

TEST(SendData, DeliversEverythingOrGivesUpOnAClientThatDoesNotRead) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
  EXPECT_TRUE(SendDataToSock(pair[0], "hello", 5));
  char got[8] = {};
  EXPECT_EQ(::read(pair[1], got, sizeof got), 5);
  std::string big(8 << 20, 'x');  // more than the socket holds while nobody reads
  EXPECT_FALSE(SendDataToSock(pair[0], big.data(), big.size(), std::chrono::milliseconds(50)));
  ::close(pair[1]);
  EXPECT_FALSE(SendDataToSock(pair[0], "x", 1)) << "a closed peer is an error, not a signal";
  ::close(pair[0]);
}

}  // namespace
}  // namespace hovra
