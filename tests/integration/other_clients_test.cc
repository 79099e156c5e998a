// What one client does never holds up another: clients that stop reading their replies,
// clients that ask for a lot at once, and slow readers. The bounds on a ping's answer are
// loose enough for a loaded machine and far below the seconds a blocking server takes.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kTypicalPing = 50ms;  // the median answer, at most
constexpr auto kWorstPing = 1s;      // any answer, at most

// A folder whose listing is about 60 KB (each entry "f" + a 197-byte name + "\r").
class BigFolder {
 public:
  explicit BigFolder(char fill = 'n') {
    char pattern[] = "/tmp/hovra-folder-XXXXXX";
    path_ = ::mkdtemp(pattern);
    for (int i = 0; i < 300; ++i)
      std::ofstream(path_ + "/" + std::to_string(1000 + i) + std::string(193, fill));
  }
  ~BigFolder() { fs::remove_all(path_); }
  const std::string& Path() const { return path_; }
  std::string Request() const { return "fileexplorer " + path_ + "\n"; }

 private:
  std::string path_;
};

SocketClient Greeted(unsigned short port) {
  SocketClient client(port);
  client.ReadUntil("\n");
  return client;
}

// A client that stops reading: its receive buffer is made small before it connects.
std::unique_ptr<SocketClient> NonReader(unsigned short port) {
  auto client = std::make_unique<SocketClient>(port);
  int small = 4096;
  ::setsockopt(client->Fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  return client;
}

struct PingTimes {
  std::vector<Clock::duration> answered;
  int unanswered = 0;
  Clock::duration Median() const {
    std::vector<Clock::duration> sorted = answered;
    std::sort(sorted.begin(), sorted.end());
    return sorted.empty() ? Clock::duration::max() : sorted[sorted.size() / 2];
  }
  Clock::duration Worst() const {
    return answered.empty() ? Clock::duration::max()
                            : *std::max_element(answered.begin(), answered.end());
  }
};

// `count` pings one after another from a client that reads, each timed.
PingTimes TimePings(SocketClient& client, int count) {
  PingTimes times;
  for (int i = 0; i < count; ++i) {
    const auto sent = Clock::now();
    if (!client.Send("ping\n") || client.Read(4, 10s) != "echo") {
      ++times.unanswered;
      continue;
    }
    times.answered.push_back(Clock::now() - sent);
    std::this_thread::sleep_for(5ms);
  }
  return times;
}

void ExpectPrompt(const PingTimes& times) {
  EXPECT_EQ(times.unanswered, 0);
  EXPECT_LE(times.Median(), kTypicalPing);
  EXPECT_LE(times.Worst(), kWorstPing);
}

void Notify(const std::string& socketPath, const std::string& line) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const std::string text = line + "\n";
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
}

TEST(OtherClients, ClientsThatStopReadingDoNotDelayAReadersPing) {
  BigFolder folder;
  ServerProcessOptions options;
  const std::string control = "/tmp/hovra-control-" + std::to_string(::getpid()) + ".sock";
  options.extraArgs = {"--sim-control", control};
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();

  // Five clients ask for reports and a few listings, then stop reading.
  std::vector<std::unique_ptr<SocketClient>> reporters;
  for (int i = 0; i < 5; ++i) {
    reporters.push_back(NonReader(server.Port()));
    std::string asks = "reportCurrentApp\n";
    for (int j = 0; j < 20; ++j) asks += folder.Request();
    reporters.back()->Send(asks);
  }
  // One asks for far more than it will ever read (12 MB).
  std::unique_ptr<SocketClient> hog = NonReader(server.Port());
  std::string asks;
  for (int i = 0; i < 200; ++i) asks += folder.Request();
  std::thread asking([&] { hog->Send(asks); });

  SocketClient reader = Greeted(server.Port());
  // Every application switch is reported to the five that stopped reading.
  for (int i = 0; i < 10; ++i) {
    Notify(control, R"({"notify":"activated","bundleId":"com.example.app)" + std::to_string(i) +
                        R"(","name":"App","policy":0})");
  }
  ExpectPrompt(TimePings(reader, 40));
  reader.Send("get_dock_info\n");
  EXPECT_EQ(reader.ReadUntil("\n", 5s).rfind("dock_info ", 0), 0u);

  // Its requests wait once its replies back up; taking none of them, it is closed, and
  // that is logged (looked at before its socket is read, which would make it a reader).
  EXPECT_TRUE(server.WaitForStderr("has taken none of its replies", 30s));
  EXPECT_TRUE(hog->WaitForClose(30s));
  asking.join();
  EXPECT_TRUE(server.Running());
  ::unlink(control.c_str());
}

TEST(OtherClients, ASlowSteadyReaderGetsEveryByteInOrder) {
  BigFolder first('a');
  BigFolder second('b');
  ServerProcess server;
  SocketClient slow = Greeted(server.Port());
  SocketClient probe(server.Port());
  probe.ReadUntil("\n");
  probe.Send(first.Request() + second.Request());
  const std::string a = probe.ReadUntil("\n");
  const std::string b = probe.ReadUntil("\n");
  ASSERT_GT(a.size(), 50000u);
  ASSERT_GT(b.size(), 50000u);

  // About 2.5 MB of replies asked for at once, read in small sips with pauses.
  std::string expected;
  std::string requests;
  for (int i = 0; i < 20; ++i) {
    requests += first.Request() + "ping\n" + second.Request();
    expected += a + "echo" + b;
  }
  slow.Send(requests);
  std::string got;
  while (got.size() < expected.size()) {
    std::string sip = slow.Read(std::min<size_t>(16384, expected.size() - got.size()), 10s);
    if (sip.empty()) break;
    got += sip;
    std::this_thread::sleep_for(2ms);
  }
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected) << "every byte, in order";
  slow.Send("ping\n");
  EXPECT_EQ(slow.Read(4), "echo") << "and it is still served";
}

TEST(OtherClients, OneClientsQueuedListingsDoNotDelayAnothersPing) {
  BigFolder folder;
  ServerProcess server;
  SocketClient busy = Greeted(server.Port());
  SocketClient other = Greeted(server.Port());
  std::string listing;
  {
    busy.Send(folder.Request());
    listing = busy.ReadUntil("\n");
    ASSERT_GT(listing.size(), 50000u);
  }
  std::string asks;
  for (int i = 0; i < 200; ++i) asks += folder.Request();
  std::atomic<size_t> received{0};
  std::thread reading([&] {
    busy.Send(asks);
    while (received < 200 * listing.size()) {
      std::string more = busy.Read(65536, 10s);
      if (more.empty()) return;
      received += more.size();
    }
  });
  ExpectPrompt(TimePings(other, 40));
  reading.join();
  EXPECT_EQ(received.load(), 200 * listing.size()) << "the busy client got all it asked for";
}

}  // namespace
}  // namespace hovra::testing
