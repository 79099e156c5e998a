// Who is connected, asked from another thread while the worker accepts and drops clients.
#include <gmock/gmock.h>

#include <atomic>
#include <thread>

#include "tests/server/server_fixture.h"
#include "tests/support/temp_dir.h"

namespace hovra::testing {
namespace {

TEST_F(ServerFixture, ConnectedPeersAreListedSafelyWhileClientsComeAndGo) {
  std::atomic<bool> done{false};
  std::thread asker([&] {
    while (!done) {
      for (const std::string& peer : server_->ConnectedPeerAddresses())
        EXPECT_TRUE(peer == "127.0.0.1" || peer == "::1") << peer;  // IPv4 shown as IPv4
    }
  });
  auto waitFor = [&](size_t count) {
    return PollUntil([&] { return server_->ClientCount() == count; });
  };
  for (int round = 0; round < 10; ++round) {
    SocketClient v4(server_->ListeningPort());
    SocketClient v6(server_->ListeningPort(), /*ipv6=*/true);
    ASSERT_TRUE(waitFor(2));
    EXPECT_THAT(server_->ConnectedPeerAddresses(),
                ::testing::UnorderedElementsAre("127.0.0.1", "::1"));
    v4.Close();
    v6.Close();
    ASSERT_TRUE(waitFor(0));
  }
  done = true;
  asker.join();
}

}  // namespace
}  // namespace hovra::testing
