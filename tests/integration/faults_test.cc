// Hostile clients while typists' strokes must reach the journal whole, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "input/key_tables.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

// Key strokes as text: a letter pressed, its capital released, '+' and '-' for Shift.
std::string Strokes(const ServerProcess& server) {
  static const std::map<int, char> names = [] {
    std::map<int, char> n;
    for (const KeyEntry& entry : LOWER_KEY_ENTRIES) {
      if (entry.name[0] >= 'a' && entry.name[0] <= 'z' && entry.name[1] == '\0')
        n[entry.code] = entry.name[0];
      if (std::string_view(entry.name) == "SHIFT") n[entry.code] = '+';
    }
    return n;
  }();
  std::string strokes;
  for (const std::string& line : server.JournalLines()) {
    const size_t code = line.find(R"("code":)");
    if (line.find(R"("kind":"key")") == std::string::npos || code == std::string::npos) continue;
    const auto name = names.find(std::atoi(line.c_str() + code + 7));
    if (name == names.end()) continue;
    const bool down = line.find(R"("down":true)") != std::string::npos;
    const char c = name->second;
    strokes += c == '+' ? (down ? '+' : '-') : (down ? c : static_cast<char>(std::toupper(c)));
  }
  return strokes;
}

template <typename Done>
std::string WaitForStrokes(const ServerProcess& server, Done done) {
  std::string strokes;
  PollUntil([&] { return done(strokes = Strokes(server)); }, 30s);
  return strokes;
}

bool ShiftReleased(const std::string& strokes) {
  return std::ranges::count(strokes, '+') == std::ranges::count(strokes, '-');
}

// Types a seeded run of letters from its own set, to be told apart in the journal.
class Typist {
 public:
  Typist(unsigned short port, std::string letters, unsigned seed, int count)
      : client(SocketClient::Greeted(port)), letters_(std::move(letters)) {
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) text_ += letters_[random() % letters_.size()];
  }
  bool Type(size_t from, size_t to) {
    for (size_t i = from; i < to && i < text_.size(); ++i)
      if (!client.Send(KeyFrame(std::string(1, text_[i])))) return false;
    return true;
  }
  size_t Length() const { return text_.size(); }
  std::string Expected() const {
    std::string strokes;
    for (char letter : text_) strokes += {letter, static_cast<char>(std::toupper(letter))};
    return strokes;
  }
  std::string Mine(const std::string& all) const {
    std::string mine;
    for (char c : all)
      if (letters_.find(static_cast<char>(std::tolower(c))) != std::string::npos) mine += c;
    return mine;
  }
  SocketClient client;

 private:
  std::string letters_;
  std::string text_;
};

// Clients that come and go at random, some holding Shift or leaving half a frame behind.
void Churn(unsigned short port, unsigned seed, int clients) {
  const std::string sends[] = {"", MouseFrame("m 1 1"), KeyFrame("[R] SHIFT d"), "key00"};
  std::mt19937 random(seed);
  std::vector<std::unique_ptr<SocketClient>> open;
  for (int i = 0; i < clients; ++i) {
    open.push_back(std::make_unique<SocketClient>(port));
    open.back()->Send(sends[random() % 4]);
    // Leave in a random order, a few at a time, so that some stay a while.
    while (open.size() > 8 || (!open.empty() && random() % 3 == 0)) {
      const size_t at = random() % open.size();
      if (random() % 2 == 0) open[at]->Reset();
      open.erase(open.begin() + static_cast<long>(at));
    }
  }
}

// Bytes that never begin a frame or a command, in lines of any length.
std::string Garbage(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, ' ');
  for (char& b : bytes) {
    const auto r = static_cast<unsigned>(random());
    b = static_cast<char>(r % 700 == 0 ? '\n' : r % 5 == 0 ? '0' + r % 10 : 0x80 | (r >> 8));
  }
  return bytes;
}

TEST(Faults, TypistsLoseNothingAmidChurnAndGarbage) {
  ServerProcess server;
  ASSERT_NE(server.Port(), 0);

  Typist first(server.Port(), "abcdefghijkl", 1, 400);
  Typist second(server.Port(), "mnopqrstuvwx", 2, 400);
  ASSERT_TRUE(first.client.Connected() && second.client.Connected());

  SocketClient flooder(server.Port());
  const std::string garbage = Garbage(1u << 20, 3);

  std::vector<std::thread> crowd;
  for (unsigned t = 0; t < 4; ++t) crowd.emplace_back(Churn, server.Port(), 10 + t, 250);
  std::atomic<bool> flooded{true};
  std::thread flooding([&] {
    for (size_t sent = 0; sent < 16u << 20; sent += garbage.size())  // 16 MB
      if (!flooder.Send(garbage)) flooded = false;
  });
  for (size_t at = 0; at < first.Length(); at += 40) {
    ASSERT_TRUE(first.Type(at, at + 40));
    ASSERT_TRUE(second.Type(at, at + 40));
  }
  for (std::thread& t : crowd) t.join();
  flooding.join();

  const std::string strokes = WaitForStrokes(server, [&](const std::string& k) {
    return first.Mine(k).size() >= 2 * first.Length() &&
           second.Mine(k).size() >= 2 * second.Length() && ShiftReleased(k);
  });
  EXPECT_EQ(first.Mine(strokes), first.Expected());
  EXPECT_EQ(second.Mine(strokes), second.Expected());
  // Every Shift a vanished client held down was let go again.
  EXPECT_TRUE(ShiftReleased(strokes));
  EXPECT_GT(std::ranges::count(strokes, '+'), 0);

  // The flood was taken whole, and its sender is served again once it behaves.
  EXPECT_TRUE(flooded);
  ASSERT_TRUE(flooder.Send("\nping\n"));
  EXPECT_NE(flooder.ReadUntil("echo", 30s).find("echo"), std::string::npos);
  ASSERT_TRUE(first.client.Send("ping\n"));
  EXPECT_NE(first.client.ReadUntil("echo").find("echo"), std::string::npos);
}

TEST(Faults, OutOfDescriptorsTheServerKeepsServingAndRecovers) {
  ServerProcess server(ServerProcessOptions{.fileLimit = 48});
  ASSERT_NE(server.Port(), 0);
  Typist typist(server.Port(), "abcdefghijklmnopqrstuvwxyz", 5, 200);

  // Far more connections than the server may open: the rest wait in the listen queue.
  std::vector<std::unique_ptr<SocketClient>> crowd;
  for (int i = 0; i < 100; ++i) crowd.push_back(std::make_unique<SocketClient>(server.Port()));
  ASSERT_TRUE(server.WaitForStderr("pausing new connections", 10s));
  // The queue keeps the listener readable: the loop must wait, not spin (a measuring window).
  const double before = server.CpuSeconds();
  std::this_thread::sleep_for(500ms);
  EXPECT_LT(server.CpuSeconds() - before, 0.25);
  ASSERT_TRUE(typist.Type(0, 100));
  // A client that got in before the shortage is still answered.
  ASSERT_TRUE(typist.client.Send("ping\n"));
  EXPECT_NE(typist.client.ReadUntil("echo").find("echo"), std::string::npos);

  crowd.clear();
  ASSERT_TRUE(typist.Type(100, 200));
  EXPECT_EQ(
      WaitForStrokes(server, [&](const std::string& k) { return k.size() >= 2 * typist.Length(); }),
      typist.Expected());

  SocketClient newcomer(server.Port());
  EXPECT_NE(newcomer.ReadUntil("\n", 15s).find("system mac"), std::string::npos);
  EXPECT_TRUE(server.Running());
}

}  // namespace
}  // namespace hovra::testing
