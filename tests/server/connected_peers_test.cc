// Who is connected, as the address window asks it from the main thread while the worker
// accepts and drops clients.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/server/server_fixture.h"

namespace hovra::testing {
namespace {

using namespace std::chrono_literals;

class ConnectedPeersTest : public ServerFixture {
 protected:
  // Waits until the table holds `count` clients.
  bool WaitForClients(size_t count) {
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (server_->ClientCount() != count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }
};

TEST_F(ConnectedPeersTest, ListsIPv4ClientsAsIPv4AndIPv6ClientsAsIPv6) {
  EXPECT_TRUE(server_->ConnectedPeerAddresses().empty());
  SocketClient v4(server_->ListeningPort());
  SocketClient v6(server_->ListeningPort(), /*ipv6=*/true);
  ASSERT_TRUE(WaitForClients(2));
  std::vector<std::string> peers = server_->ConnectedPeerAddresses();
  std::sort(peers.begin(), peers.end());
  EXPECT_EQ(peers, (std::vector<std::string>{"127.0.0.1", "::1"}));
  v4.Close();
  ASSERT_TRUE(WaitForClients(1));
  EXPECT_EQ(server_->ConnectedPeerAddresses(), std::vector<std::string>{"::1"});
}

TEST_F(ConnectedPeersTest, AskingWhileClientsComeAndGoIsSafe) {
  std::atomic<bool> done{false};
  std::thread asker([&] {
    while (!done) {
      for (const std::string& peer : server_->ConnectedPeerAddresses()) {
        EXPECT_EQ(peer, "127.0.0.1");
      }
    }
  });
  for (int round = 0; round < 20; ++round) {
    SocketClient client(server_->ListeningPort());
    ASSERT_TRUE(WaitForClients(1));
    client.Close();
    ASSERT_TRUE(WaitForClients(0));
  }
  done = true;
  asker.join();
}

}  // namespace
}  // namespace hovra::testing
