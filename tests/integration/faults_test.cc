// Hostile and careless clients against the real server: crowds connecting and leaving,
// half-open connections, a flood of garbage and a process out of descriptors. Throughout,
// well-behaved clients keep typing, and every one of their key strokes must reach the journal, in
// the order sent, with nothing left held down.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "input/key_tables.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

std::string Key(std::string_view payload) { return KeyFrame(payload); }

struct KeyLine {
  int code;
  bool down;
  bool operator==(const KeyLine&) const = default;
};

// The key events of the journal, in journal order.
std::vector<KeyLine> KeyLines(const std::vector<std::string>& journal) {
  std::vector<KeyLine> keys;
  for (const std::string& line : journal) {
    if (line.find(R"("kind":"key")") == std::string::npos) continue;
    const size_t code = line.find(R"("code":)");
    if (code == std::string::npos) continue;
    keys.push_back(
        {std::atoi(line.c_str() + code + 7), line.find(R"("down":true)") != std::string::npos});
  }
  return keys;
}

// Waits until `done(keys)` holds for the journal's key events; returns the last ones read.
template <typename Done>
std::vector<KeyLine> WaitForKeys(const ServerProcess& server, Done done,
                                 std::chrono::seconds wait = 30s) {
  std::vector<KeyLine> keys;
  PollUntil([&] { return done(keys = KeyLines(server.JournalLines())); }, wait);
  return keys;
}

// The key codes of the letters and Shift, from the server's key table.
struct KeyCodes {
  std::map<char, int> letters;
  int shift = -1;
};

KeyCodes TableKeyCodes() {
  KeyCodes codes;
  for (const KeyEntry& entry : LOWER_KEY_ENTRIES) {
    if (entry.name[0] >= 'a' && entry.name[0] <= 'z' && entry.name[1] == '\0')
      codes.letters[entry.name[0]] = entry.code;
    if (std::string_view(entry.name) == "SHIFT") codes.shift = entry.code;
  }
  return codes;
}

// A well-behaved client typing a seeded random run of lowercase letters from its own set,
// so that its strokes can be told from everyone else's in the journal.
class Typist {
 public:
  Typist(unsigned short port, std::string letters, unsigned seed, int count) : client_(port) {
    client_.ReadUntil("\n");
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) text_ += letters[random() % letters.size()];
    letters_ = std::move(letters);
  }
  // Sends letters [from, to) one frame per send.
  bool Type(size_t from, size_t to) {
    for (size_t i = from; i < to && i < text_.size(); ++i) {
      if (!client_.Send(Key(std::string(1, text_[i])))) return false;
    }
    return true;
  }
  size_t Length() const { return text_.size(); }
  std::vector<KeyLine> Expected(const KeyCodes& codes) const {
    std::vector<KeyLine> keys;
    for (char letter : text_) {
      keys.push_back({codes.letters.at(letter), true});
      keys.push_back({codes.letters.at(letter), false});
    }
    return keys;
  }
  // This typist's strokes among all the journal's key events.
  std::vector<KeyLine> Mine(const std::vector<KeyLine>& all, const KeyCodes& codes) const {
    std::vector<KeyLine> mine;
    for (const KeyLine& k : all) {
      for (char letter : letters_) {
        if (codes.letters.at(letter) == k.code) mine.push_back(k);
      }
    }
    return mine;
  }
  SocketClient& Client() { return client_; }

 private:
  SocketClient client_;
  std::string letters_;
  std::string text_;
};

size_t ShiftBalance(const std::vector<KeyLine>& keys, int shift, size_t* downs) {
  size_t d = 0, u = 0;
  for (const KeyLine& k : keys) {
    if (k.code == shift) (k.down ? d : u) += 1;
  }
  *downs = d;
  return d - u;
}

// 1,000 clients that come and go at random: some leave before reading the greeting, some
// move the pointer, some hold Shift down or leave half a frame behind; they leave with an
// orderly close or a reset.
void Churn(unsigned short port, unsigned seed, int clients) {
  std::mt19937 random(seed);
  std::vector<std::unique_ptr<SocketClient>> open;
  for (int i = 0; i < clients; ++i) {
    auto c = std::make_unique<SocketClient>(port);
    switch (random() % 4) {
      case 0:
        break;
      case 1:
        c->Send("mos006m 1 1");
        break;
      case 2:
        c->Send(Key("[R] SHIFT d"));
        break;
      default:
        c->Send("key00");
        break;
    }
    open.push_back(std::move(c));
    // Leave in a random order, a few at a time, so that some stay a while.
    while (open.size() > 8 || (!open.empty() && random() % 3 == 0)) {
      const size_t at = random() % open.size();
      if (random() % 2 == 0) {
        open[at]->Reset();
      } else {
        open[at]->Close();
      }
      open.erase(open.begin() + static_cast<long>(at));
    }
  }
}

// Bytes that can never begin a frame or a known command: digits, spaces and bytes above
// 0x7f, with a line end now and then (lines of any length, some far too long).
std::string Garbage(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, ' ');
  for (char& b : bytes) {
    const auto r = static_cast<unsigned>(random());
    if (r % 700 == 0) {
      b = '\n';
    } else if (r % 5 == 0) {
      b = static_cast<char>('0' + r % 10);
    } else {
      b = static_cast<char>(0x80 | (r >> 8));
    }
  }
  return bytes;
}

constexpr size_t kGarbageBytes = 16u << 20;
constexpr size_t kGarbageChunk = 1u << 20;

TEST(Faults, TypistsLoseNothingAmidChurnAndGarbage) {
  ServerProcess server;
  ASSERT_NE(server.Port(), 0);
  const KeyCodes codes = TableKeyCodes();

  Typist first(server.Port(), "abcdefghijkl", 1, 400);
  Typist second(server.Port(), "mnopqrstuvwx", 2, 400);
  ASSERT_TRUE(first.Client().Connected() && second.Client().Connected());

  SocketClient flooder(server.Port());
  const std::string garbage = Garbage(kGarbageChunk, 3);

  std::vector<std::thread> crowd;
  for (unsigned t = 0; t < 4; ++t) crowd.emplace_back(Churn, server.Port(), 10 + t, 250);
  std::atomic<bool> flooded{true};
  std::thread flooding([&] {
    for (size_t sent = 0; sent < kGarbageBytes; sent += kGarbageChunk) {
      if (!flooder.Send(garbage)) flooded = false;
    }
  });
  for (size_t at = 0; at < first.Length(); at += 40) {
    ASSERT_TRUE(first.Type(at, at + 40));
    ASSERT_TRUE(second.Type(at, at + 40));
  }
  for (std::thread& t : crowd) t.join();
  flooding.join();

  std::vector<KeyLine> keys = WaitForKeys(server, [&](const auto& k) {
    size_t downs = 0;
    return first.Mine(k, codes).size() >= 2 * first.Length() &&
           second.Mine(k, codes).size() >= 2 * second.Length() &&
           ShiftBalance(k, codes.shift, &downs) == 0;
  });
  EXPECT_EQ(first.Mine(keys, codes), first.Expected(codes));
  EXPECT_EQ(second.Mine(keys, codes), second.Expected(codes));
  // Every Shift a vanished client held down was let go again.
  size_t shiftDowns = 0;
  EXPECT_EQ(ShiftBalance(keys, codes.shift, &shiftDowns), 0u);
  EXPECT_GT(shiftDowns, 0u);

  // The flood was taken whole, and its sender is served again once it behaves.
  EXPECT_TRUE(flooded);
  ASSERT_TRUE(flooder.Send("\nping\n"));
  EXPECT_NE(flooder.ReadUntil("echo", 30s).find("echo"), std::string::npos);
  // And the typists are still served.
  ASSERT_TRUE(first.Client().Send("ping\n"));
  EXPECT_NE(first.Client().ReadUntil("echo").find("echo"), std::string::npos);
}

TEST(Faults, HalfOpenAndHalfClosedConnectionsHoldNothingBack) {
  ServerProcess server;
  ASSERT_NE(server.Port(), 0);
  const KeyCodes codes = TableKeyCodes();

  // Silent connections with half a frame or half a line pending, never finished.
  std::vector<std::unique_ptr<SocketClient>> silent;
  for (const char* partial : {"", "k", "key00", "mos999m 1", "ping", "fileexplorer /"}) {
    silent.push_back(std::make_unique<SocketClient>(server.Port()));
    silent.back()->Send(partial);
  }
  // Clients that hold Shift down and stop sending (their side shut for writing), or whose
  // last frame never completes before they reset.
  SocketClient halfClosed(server.Port());
  halfClosed.ReadUntil("\n");
  halfClosed.Send(Key("[R] SHIFT d") + "key01");
  ::shutdown(halfClosed.Fd(), SHUT_WR);
  SocketClient resetting(server.Port());
  resetting.ReadUntil("\n");
  resetting.Send(Key("[R] SHIFT d"));

  Typist typist(server.Port(), "abcdefghijklmnopqrstuvwxyz", 4, 300);
  ASSERT_TRUE(typist.Type(0, 150));
  // The server answers the half-closed client's end of input by closing it.
  EXPECT_TRUE(halfClosed.WaitForClose(10s));
  size_t held = 0;
  WaitForKeys(server,
              [&](const auto& k) { return ShiftBalance(k, codes.shift, &held), held >= 2; });
  resetting.Reset();
  ASSERT_TRUE(typist.Type(150, 300));

  std::vector<KeyLine> keys = WaitForKeys(server, [&](const auto& k) {
    size_t downs = 0;
    return typist.Mine(k, codes).size() >= 2 * typist.Length() &&
           ShiftBalance(k, codes.shift, &downs) == 0;
  });
  std::vector<KeyLine> typed;
  for (const KeyLine& k : keys) {
    if (k.code != codes.shift) typed.push_back(k);
  }
  EXPECT_EQ(typed, typist.Expected(codes));
  size_t shiftDowns = 0;
  EXPECT_EQ(ShiftBalance(keys, codes.shift, &shiftDowns), 0u);
  EXPECT_EQ(shiftDowns, 2u);
  // The silent connections are still open and are served the moment they finish a line.
  ASSERT_TRUE(silent[4]->Send("\n"));
  EXPECT_NE(silent[4]->ReadUntil("echo").find("echo"), std::string::npos);
}

TEST(Faults, OutOfDescriptorsTheServerKeepsServingAndRecovers) {
  ServerProcessOptions options;
  options.fileLimit = 48;
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0);
  const KeyCodes codes = TableKeyCodes();
  Typist typist(server.Port(), "abcdefghijklmnopqrstuvwxyz", 5, 200);

  // Far more connections than the server may open: the rest wait in the listen queue.
  std::vector<std::unique_ptr<SocketClient>> crowd;
  for (int i = 0; i < 100; ++i) crowd.push_back(std::make_unique<SocketClient>(server.Port()));
  EXPECT_TRUE(server.WaitForStderr("cannot accept a client", 10s));
  ASSERT_TRUE(typist.Type(0, 100));
  // A client that got in before the shortage is still answered.
  ASSERT_TRUE(typist.Client().Send("ping\n"));
  EXPECT_NE(typist.Client().ReadUntil("echo").find("echo"), std::string::npos);

  crowd.clear();
  ASSERT_TRUE(typist.Type(100, 200));
  std::vector<KeyLine> keys =
      WaitForKeys(server, [&](const auto& k) { return k.size() >= 2 * typist.Length(); });
  EXPECT_EQ(keys, typist.Expected(codes));

  // With descriptors free again, a newcomer is accepted and greeted.
  SocketClient newcomer(server.Port());
  EXPECT_NE(newcomer.ReadUntil("\n", 15s).find("system mac"), std::string::npos);
  EXPECT_TRUE(server.Running());
}

}  // namespace
}  // namespace hovra::testing
