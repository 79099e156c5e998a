// Discovery as the LAN sees it: announcements and answers to the probe.
#include <gtest/gtest.h>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

TEST(Discovery, AnnouncesAndAnswersTheProbe) {
  UdpCatcher announcements;
  UdpCatcher prober;
  unsigned short discoveryPort = FreePort(true);
  ServerProcess server(ServerProcessOptions{
      .extraArgs = {"--discovery-port", std::to_string(discoveryPort), "--announce",
                    "127.0.0.1:" + std::to_string(announcements.Port()), "--probe-reply-port",
                    std::to_string(prober.Port())},
      .fastTimers = true});  // announcements every 150 ms
  ASSERT_NE(server.Port(), 0) << server.Stderr();

  // Answered to the probe-reply port, not the sender's: BC, the name's length in three
  // characters, the name.
  UdpCatcher sender;
  sender.SendTo(discoveryPort, "hovra server search\n");  // 20 bytes: not the probe
  sender.SendTo(discoveryPort, "hovra server search");
  EXPECT_EQ(prober.Receive(), "BC  9Joe's Mac");
  EXPECT_EQ(prober.Receive(200ms), "") << "only the exact probe is answered";

  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  while (!announcements.Receive(0ms).empty()) continue;
  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 75ms) << "one announcement per period";
}

}  // namespace
}  // namespace hovra::testing
