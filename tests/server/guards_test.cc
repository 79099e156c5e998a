// The server's guards, clients on different loopback addresses; the test steps the clock.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "server/hovra_svr_sock.h"
#include "server/security/security_notices.h"
#include "tests/support/fake_clock.h"
#include "tests/support/socket_client.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

constexpr char kRight[] = "right";
constexpr char kOk[] = "verifypassword ok\n";
constexpr char kFailed[] = "verifypassword failed\n";

std::vector<std::string> TakeNotices() {
  std::vector<std::string> all;
  while (auto notice = security::TakeSecurityNotice()) all.push_back(*notice);
  return all;
}

class Guards : public ::testing::Test {
 protected:
  Guards() { TakeNotices(); }

  // A server without discovery whose PIN is kRight, with `adjust` applied to its options.
  void Start(const std::function<void(ServerOptions&)>& adjust = [](ServerOptions&) {}) {
    ServerOptions options;
    options.discovery.port = 0;
    options.hooks.isPasswordProtection = [this] { return protection_.load(); };
    options.hooks.verifyPassword = [this](const char* answer, const std::string&, int) {
      ++checks_;
      return std::string(answer) == kRight;
    };
    options.guessClock = clock_.Function();
    adjust(options);
    server_ = std::make_unique<CHovraSvrSock>("", 0, std::move(options));
  }

  // Connected from `source` and greeted (with the PIN asked for when protection is on).
  SocketClient Greeted(const char* source) {
    SocketClient client = ConnectFrom(source, server_->ListeningPort());
    EXPECT_NE(client.ReadUntil("\n").find("system mac"), std::string::npos) << source;
    if (protection_) {
      EXPECT_EQ(client.ReadUntil("\n"), "needpassword\n") << source;
    }
    return client;
  }
  static std::string Answer(SocketClient& client, const std::string& answer) {
    client.Send("verifypassword " + answer + "\n");
    return client.ReadUntil("\n");
  }

  TestPlatform platform_;
  std::atomic<bool> protection_{true};
  std::atomic<int> checks_{0};
  FakeClock clock_;
  std::unique_ptr<CHovraSvrSock> server_;
};

TEST_F(Guards, FiveWrongAnswersThenAWaitThatOutlastsReconnecting) {
  Start([](ServerOptions& o) { o.guesses.budgetPerWindow = 1000; });  // the per-source rule alone
  ::testing::internal::CaptureStderr();
  {
    SocketClient guesser = Greeted("127.0.0.2");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Answer(guesser, "\x1b[2J wrong"), kFailed) << i;
  }
  EXPECT_EQ(checks_, 5);
  for (int reconnect = 0; reconnect < 3; ++reconnect) {
    SocketClient again = Greeted("127.0.0.2");
    EXPECT_EQ(Answer(again, kRight), kFailed) << "refused unchecked, answered as a wrong one";
  }
  EXPECT_EQ(checks_, 5);
  SocketClient other = Greeted("127.0.0.3");
  EXPECT_EQ(Answer(other, kRight), kOk) << "another source does not wait";

  clock_.Advance(999ms);
  SocketClient early = Greeted("127.0.0.2");
  EXPECT_EQ(Answer(early, kRight), kFailed);
  clock_.Advance(1ms);
  SocketClient after = Greeted("127.0.0.2");
  EXPECT_EQ(Answer(after, kRight), kOk) << "the PIN is taken once the wait is over";
  server_.reset();
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(TakeNotices(), std::vector<std::string>{"Someone at 127.0.0.2 is guessing the PIN"});
  EXPECT_NE(log.find("refused unchecked: after 5 wrong answers"), std::string::npos) << log;
  EXPECT_EQ(log.find('\x1b'), std::string::npos) << log;
}

// Two wrong answers a minute in all: answers beyond that are refused unchecked.
TEST_F(Guards, RefusedAnswersCountTowardsTheConnectionsCutOff) {
  Start();
  SocketClient guesser = Greeted("127.0.0.7");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Answer(guesser, "wrong"), kFailed) << i;
  EXPECT_TRUE(guesser.WaitForClose()) << "the sixth answer ends the connection as before";
  EXPECT_EQ(checks_, 2);
}

TEST_F(Guards, CapsCloseNewConnectionsAtOnceAndOtherSourcesAreStillGreeted) {
  Start([](ServerOptions& o) {
    o.connections = {.mostConnections = 8, .mostUnverifiedPerSource = 3};
  });
  ::testing::internal::CaptureStderr();
  std::vector<SocketClient> kept;
  for (int i = 0; i < 3; ++i) kept.push_back(Greeted("127.0.0.8"));
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(ConnectFrom("127.0.0.8", server_->ListeningPort()).WaitForClose()) << "no greeting";
  kept.push_back(Greeted("127.0.0.9"));
  EXPECT_EQ(Answer(kept[0], kRight), kOk);
  kept.push_back(Greeted("127.0.0.8"));  // one that gave the PIN no longer counts
  for (const char* source : {"127.0.0.10", "127.0.0.11", "127.0.0.12"})
    kept.push_back(Greeted(source));
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(ConnectFrom("127.0.0.13", server_->ListeningPort()).WaitForClose()) << "over cap";
  kept[0].Send("ping\n");
  EXPECT_EQ(kept[0].Read(4), "echo");
  server_.reset();
  const std::string log = ::testing::internal::GetCapturedStderr();
  for (const char* once : {"127.0.0.8 holds 3 connections that have not given the PIN",
                           "8 connections are open, the most kept"}) {
    EXPECT_NE(log.find(once), std::string::npos) << log;
    EXPECT_EQ(log.find(once), log.rfind(once)) << "logged once: " << log;
  }
}

TEST_F(Guards, AnUnverifiedConnectionIsClosedAfterTheLimit) {
  Start([](ServerOptions& o) { o.connections.unverifiedLimit = 100ms; });
  SocketClient owner = ConnectFrom("127.0.0.15", server_->ListeningPort());
  owner.Send("verifypassword right\n");  // at once, well within the limit
  EXPECT_NE(owner.ReadUntil(kOk).find(kOk), std::string::npos);
  SocketClient idle = Greeted("127.0.0.14");
  EXPECT_TRUE(idle.WaitForClose());
  owner.Send("ping\n");
  EXPECT_EQ(owner.Read(4), "echo") << "one that gave the PIN stays";
}

TEST_F(Guards, TurningProtectionOnClosesThoseWhoHaveNotGivenThePin) {
  protection_ = false;
  Start([](ServerOptions& o) { o.connections.protectionPoll = 10ms; });
  SocketClient unasked = Greeted("127.0.0.16");
  SocketClient owner = Greeted("127.0.0.17");
  EXPECT_EQ(Answer(owner, kRight), kOk);
  unasked.Send("ping\n");
  EXPECT_EQ(unasked.Read(4), "echo");

  protection_ = true;
  EXPECT_TRUE(unasked.WaitForClose());
  owner.Send("ping\n");
  EXPECT_EQ(owner.Read(4), "echo");
  SocketClient back = Greeted("127.0.0.16");  // and is asked for the PIN now
}

// The server asks its discovery limits (and this computer's interfaces) before replying; the
// limits' own clock stands still, so the burst of one source is all a flood draws.
TEST_F(Guards, AProbeFloodDrawsAtMostTheBurst) {
  UdpCatcher announcements;
  const unsigned short replyPort = FreePort(true);
  UdpCatcher source("127.0.0.20", replyPort);
  const unsigned short probePort = FreePort(true);
  sockaddr_in target{};
  ASSERT_TRUE(ParseAnnounceTarget("127.0.0.1:" + std::to_string(announcements.Port()), target));
  Start([&](ServerOptions& o) {
    o.discovery.port = probePort;
    o.discovery.announceTo = {target};
    o.discovery.probeReplyPort = replyPort;
    o.discovery.clock = clock_.Function();
  });
  for (int i = 0; i < 30; ++i) source.SendTo(probePort, kProbeText);
  int replies = 0;
  while (replies < 4 && !source.Receive(5s).empty()) ++replies;
  while (!source.Receive(100ms).empty()) ++replies;
  EXPECT_EQ(replies, 4);
}

}  // namespace
}  // namespace hovra::testing
