// What one client does never holds up another: clients that stop reading their replies,
// clients that ask for a lot at once, and slow readers. A blocked server would leave the
// other clients' pings unanswered.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

// A folder whose listing is about 60 KB (each entry "f" + a 197-byte name + "\r").
class BigFolder {
 public:
  explicit BigFolder(char fill = 'n') {
    for (int i = 0; i < 300; ++i)
      WriteFile(dir_.path() / (std::to_string(1000 + i) + std::string(193, fill)), "");
  }
  std::string Request() const { return "fileexplorer " + dir_.path().string() + "\n"; }

 private:
  TempDir dir_;
};

// Pings one after another from a client that reads; all must be answered.
void ExpectPingsAnswered(SocketClient& client, int count) {
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(client.Send("ping\n"));
    ASSERT_EQ(client.Read(4, 10s), "echo") << "ping " << i;
  }
}

TEST(OtherClients, ClientsThatStopReadingDoNotDelayAReader) {
  BigFolder folder;
  ServerProcessOptions options;
  options.simControl = true;
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();

  // Five clients ask for reports and a few listings, then stop reading.
  std::vector<std::unique_ptr<SocketClient>> reporters;
  for (int i = 0; i < 5; ++i) {
    reporters.push_back(std::make_unique<SocketClient>(server.Port()));
    reporters.back()->ShrinkReceiveBuffer();
    std::string asks = "reportCurrentApp\n";
    for (int j = 0; j < 20; ++j) asks += folder.Request();
    reporters.back()->Send(asks);
  }
  // One asks for far more than it will ever read (12 MB).
  SocketClient hog(server.Port());
  hog.ShrinkReceiveBuffer();
  std::string asks;
  for (int i = 0; i < 200; ++i) asks += folder.Request();
  std::thread asking([&] { hog.Send(asks); });

  SocketClient reader = SocketClient::Greeted(server.Port());
  // Every application switch is reported to the five that stopped reading.
  for (int i = 0; i < 10; ++i) {
    server.Control(R"({"notify":"activated","bundleId":"com.example.app)" + std::to_string(i) +
                   R"(","name":"App","policy":0})");
  }
  ExpectPingsAnswered(reader, 40);
  reader.Send("get_dock_info\n");
  EXPECT_EQ(reader.ReadUntil("\n", 5s).rfind("dock_info ", 0), 0u);

  // Its requests wait once its replies back up; taking none of them, it is closed, and
  // that is logged (looked at before its socket is read, which would make it a reader).
  EXPECT_TRUE(server.WaitForStderr("has taken none of its replies", 30s));
  EXPECT_TRUE(hog.WaitForClose(30s));
  asking.join();
  EXPECT_TRUE(server.Running());
}

// A client reading about 2.5 MB of replies in small sips gets every byte in order, and its
// queued requests never hold up another client's pings.
TEST(OtherClients, ASipReaderGetsEveryByteInOrderAndDelaysNoOnesPing) {
  BigFolder first('a');
  BigFolder second('b');
  ServerProcess server;
  SocketClient slow = SocketClient::Greeted(server.Port());
  SocketClient probe = SocketClient::Greeted(server.Port());
  probe.Send(first.Request() + second.Request());
  const std::string a = probe.ReadUntil("\n");
  const std::string b = probe.ReadUntil("\n");
  ASSERT_GT(a.size(), 50000u);
  ASSERT_GT(b.size(), 50000u);

  std::string expected;
  std::string requests;
  for (int i = 0; i < 20; ++i) {
    requests += first.Request() + "ping\n" + second.Request();
    expected += a + "echo" + b;
  }
  std::string got;
  std::thread reading([&] {
    slow.Send(requests);
    while (got.size() < expected.size()) {
      std::string sip = slow.Read(std::min<size_t>(16384, expected.size() - got.size()), 10s);
      if (sip.empty()) return;
      got += sip;
    }
  });
  ExpectPingsAnswered(probe, 40);
  reading.join();
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected) << "every byte, in order";
  ExpectPingsAnswered(slow, 1);
}

}  // namespace
}  // namespace hovra::testing
