// The event loop, and the server over it, on every poller this system has.
#include "server/event_loop.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "server/hovra_svr_sock.h"
#include "tests/support/socket_client.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

std::vector<std::string> Backends() {
  std::vector<std::string> names = {"poll"};
#if defined(__linux__)
  names.push_back("epoll");
#endif
#if defined(HOVRA_HAVE_KQUEUE)
  names.push_back("kqueue");
#endif
  return names;
}

class EventLoopTest : public ::testing::TestWithParam<std::string> {
 protected:
  EventLoopTest() : loop_(MakePoller(GetParam())) {
    for (auto& pair : pairs_) ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair.data());
  }
  ~EventLoopTest() override {
    for (auto& pair : pairs_) std::ranges::for_each(pair, ::close);
  }
  EventLoop loop_;
  std::array<std::array<int, 2>, 3> pairs_;
};

TEST_P(EventLoopTest, ReportsReadyDescriptorsInAscendingOrderOncePerPass) {
  std::vector<std::pair<int, unsigned>> seen;
  std::vector<std::pair<int, unsigned>> expected;
  auto record = [&](int fd, unsigned ready) { seen.emplace_back(fd, ready); };
  for (auto& pair : pairs_) {
    ASSERT_TRUE(loop_.Watch(pair[0], kReadable | kWritable, record));
    ASSERT_EQ(::write(pair[1], "x", 1), 1);
    expected.emplace_back(pair[0], kReadable | kWritable);
  }
  loop_.RunOnePass();
  std::ranges::sort(expected);
  EXPECT_EQ(seen, expected);
  // Unwatched events are not reported; the handler stays for the next Watch.
  seen.clear();
  const int fd = pairs_[0][0];
  for (auto& pair : pairs_) loop_.Unwatch(pair[0], kReadable | kWritable);
  loop_.Watch(fd, kReadable);
  EXPECT_EQ(loop_.Watched(fd), kReadable);
  loop_.RunOnePass();
  EXPECT_EQ(seen, (std::vector<std::pair<int, unsigned>>{{fd, kReadable}}));
}

TEST_P(EventLoopTest, RunsTimersWhenDueAndWaitsNoLongerThanTheNext) {
  int ticks = 0;
  int once = 0;
  loop_.AddTimer(20, [&] { return ++ticks < 3 ? 20L : EventLoop::kTimerDone; });
  loop_.DeleteTimer(loop_.AddTimer(10, [&] { return ++once, EventLoop::kTimerDone; }));
  const auto start = std::chrono::steady_clock::now();
  while (ticks < 3 && std::chrono::steady_clock::now() - start < 5s) loop_.RunOnePass();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(once, 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
}

TEST_P(EventLoopTest, WorkLeftOverMakesTheWaitReturnAtOnce) {
  int passes = 0;
  loop_.SetBeforeWait([&] { return ++passes < 5; });
  loop_.AddTimer(60'000, [] { return EventLoop::kTimerDone; });
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 4; ++i) loop_.RunOnePass();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_P(EventLoopTest, TheServerRunsOnIt) {
  TestPlatform platform;
  ServerOptions options;
  options.discovery.port = 0;
  options.poller = GetParam();
  CHovraSvrSock server("0.0.0.0", 0, options);
  EXPECT_STREQ(server.PollerName(), GetParam().c_str());
  SocketClient client(server.ListeningPort());
  EXPECT_EQ(client.ReadUntil("\n"), "system mac 10.6\n");
  client.Send("reportCurrentApp\nping\n");
  EXPECT_EQ(client.Read(16), "currentapp \necho");
  server.SendCurrentApplication("org.example.app");  // from another thread
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp org.example.app\n");
  server.Stop();
  EXPECT_TRUE(client.WaitForClose(2s));
  EXPECT_FALSE(SocketClient(server.ListeningPort()).Connected()) << "refused once stopped";
}

INSTANTIATE_TEST_SUITE_P(Backends, EventLoopTest, ::testing::ValuesIn(Backends()),
                         [](const auto& backend) { return backend.param; });

}  // namespace
}  // namespace hovra::testing
