// The server as a client and the LAN see it: greeting, ping, framing over real sockets,
// discovery, and faults (resets, clients that never read, exhausted descriptors).
#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

constexpr char kGreeting[] = "system mac 14.2\n";

TEST(Spine, GreetsFirstAndAnswersPingWithExactlyEcho) {
  ServerProcess server;
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  for (bool ipv6 : {false, true}) {
    SocketClient client(server.Port(), ipv6);
    ASSERT_TRUE(client.Connected()) << (ipv6 ? "::1" : "127.0.0.1");
    EXPECT_EQ(client.Read(sizeof kGreeting - 1), kGreeting);
    client.Send("ping\n");
    EXPECT_EQ(client.Read(4), "echo");
    EXPECT_EQ(client.ReadAvailable(), "") << "nothing follows the echo, not even a line end";
  }
}

TEST(Spine, ServesTwoClientsSideBySide) {
  ServerProcess server;
  SocketClient first(server.Port());
  SocketClient second(server.Port());
  first.Read(sizeof kGreeting - 1);
  second.Read(sizeof kGreeting - 1);
  // A line the first client has not finished does not hold back the second one.
  first.Send("pi");
  second.Send("ping\r\n");
  EXPECT_EQ(second.Read(4), "echo");
  first.Send("ng\nping\n");
  EXPECT_EQ(first.Read(8), "echoecho");
}

TEST(Spine, FramesAndLinesShareTheStream) {
  ServerProcess server;
  SocketClient client(server.Port());
  client.Read(sizeof kGreeting - 1);
  // A frame with a negative length loses its header only; "ping" after it is a line.
  client.Send("key-05ping\n");
  EXPECT_EQ(client.Read(4), "echo");
  // A frame whose length field holds no digits is an empty frame: "keyboa" goes, "rd" waits.
  client.Send("keyboard\nping\n");
  EXPECT_EQ(client.Read(4), "echo");
  // A NUL hides the newline behind it until the buffer is discarded.
  client.Send(std::string("ab\0\nping\n", 9));
  EXPECT_EQ(client.ReadAvailable(), "");
}

TEST(Spine, DiscardsAFullBufferWithoutFrameOrLineAndKeepsTheConnection) {
  ServerProcess server;
  SocketClient client(server.Port());
  client.Read(sizeof kGreeting - 1);
  // The bytes after a full buffer arrive in a later read, which discards the buffer first.
  client.Send(std::string(8192, 'x') + "ping\n");
  EXPECT_EQ(client.Read(4), "echo");
  EXPECT_TRUE(server.WaitForStderr("without a complete frame or line"));
}

TEST(Spine, SurvivesClientsThatVanishMidFrameOrReset) {
  ServerProcess server;
  {
    SocketClient halfFrame(server.Port());
    halfFrame.Send("mos01");
  }
  {
    SocketClient reset(server.Port());
    reset.Send("ping\nping\nping\n");
    reset.Reset();  // the echoes meet a closed peer: no SIGPIPE may end the server
  }
  SocketClient client(server.Port());
  client.Read(sizeof kGreeting - 1);
  client.Send("ping\n");
  EXPECT_EQ(client.Read(4), "echo");
  EXPECT_TRUE(server.Running());
}

TEST(Spine, StopsCleanlyOnSigtermAndSigint) {
  for (int signal : {SIGTERM, SIGINT}) {
    ServerProcess server;
    SocketClient client(server.Port());
    client.Read(sizeof kGreeting - 1);
    EXPECT_EQ(server.Stop(signal), 0);
    EXPECT_TRUE(client.WaitForClose());
  }
}

TEST(Spine, ExitsWithAnErrorWhenThePortIsTaken) {
  ServerProcess first;
  ServerProcessOptions options;
  options.extraArgs = {"--port", std::to_string(first.Port())};
  options.waitUntilListening = false;
  ServerProcess second(options);
  EXPECT_EQ(second.WaitForExit(10s), 1);
  EXPECT_NE(second.Stderr().find("cannot listen on TCP port"), std::string::npos)
      << second.Stderr();
}

TEST(Spine, DoesNotSpinWhenDescriptorsRunOut) {
  ServerProcessOptions options;
  options.fileLimit = 24;
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  std::vector<SocketClient> clients;
  for (int i = 0; i < 40; ++i) clients.emplace_back(server.Port());
  ASSERT_TRUE(server.WaitForStderr("pausing new connections"));
  // Exhausted descriptors must leave the loop waiting, not polling a readable listener.
  // (A measuring window, not a wait for something to happen.)
  double before = server.CpuSeconds();
  std::this_thread::sleep_for(500ms);
  EXPECT_LT(server.CpuSeconds() - before, 0.25);
  // Once clients leave, the ones waiting in the queue are served.
  clients.erase(clients.begin(), clients.begin() + 30);
  SocketClient& waiting = clients.back();
  EXPECT_EQ(waiting.Read(sizeof kGreeting - 1, 5s), kGreeting) << server.Stderr();
  waiting.Send("ping\n");
  EXPECT_EQ(waiting.Read(4), "echo");
}

TEST(Discovery, AnnouncesAndAnswersTheProbe) {
  UdpCatcher announcements;
  UdpCatcher prober;
  unsigned short discoveryPort = FreePort(true);
  ServerProcessOptions options;
  options.fastTimers = true;  // announcements every 150 ms
  options.extraArgs = {"--discovery-port",   std::to_string(discoveryPort),
                       "--announce",         "127.0.0.1:" + std::to_string(announcements.Port()),
                       "--probe-reply-port", std::to_string(prober.Port())};
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();

  // "Joe's Mac" is 9 bytes: BC, the length right-aligned in three characters, the name.
  // Sent from another port than the answer is expected on: the answer goes to the
  // probe-reply port, not back to the sender.
  UdpCatcher sender;
  sender.SendTo(discoveryPort, "hovra server search\n");  // 20 bytes: not the probe
  sender.SendTo(discoveryPort, "hovra server search");
  EXPECT_EQ(prober.Receive(), "BC  9Joe's Mac");
  EXPECT_EQ(prober.Receive(200ms), "") << "only the exact probe is answered";

  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  while (!announcements.Receive(0ms).empty()) {
  }
  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(announcements.Receive(), "BC  9Joe's Mac");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 75ms) << "one announcement per period";
}

}  // namespace
}  // namespace hovra::testing
