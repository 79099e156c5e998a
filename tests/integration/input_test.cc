// Pointer, buttons, wheel, keys and text sent over a socket, as the journal records them.
#include <gtest/gtest.h>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

std::string Mos(std::string_view payload) { return MouseFrame(payload); }
std::string Key(std::string_view payload) { return KeyFrame(payload); }

constexpr char kOneScreen[] =
    R"({"osVersion":"14.2","screens":[[0,0,1000,800]],"pointer":[500,400]})";

class InputOverSocket : public ::testing::Test {
 protected:
  explicit InputOverSocket(const char* sim = kOneScreen)
      : server_(Options(sim)), client_(server_.Port()) {
    client_.ReadUntil("\n");  // the greeting
  }
  static ServerProcessOptions Options(const char* sim) {
    ServerProcessOptions options;
    options.simJson = sim;
    return options;
  }
  // Sends, then waits until the journal has grown by `count` lines; returns those lines.
  std::vector<std::string> SendAndCollect(std::string_view bytes, size_t count) {
    size_t before = server_.JournalLines().size();
    client_.Send(bytes);
    std::vector<std::string> lines = server_.WaitForJournal(before + count);
    return std::vector<std::string>(
        lines.begin() + static_cast<long>(std::min(before, lines.size())), lines.end());
  }

  ServerProcess server_;
  SocketClient client_;
};

TEST_F(InputOverSocket, MovesPressesDragsAndReleasesThePointer) {
  EXPECT_EQ(SendAndCollect(Mos("m 5 3"), 1),
            Lines{R"({"kind":"mouse","type":5,"x":505,"y":403,"button":0})"});
  EXPECT_EQ(SendAndCollect(Mos("R l d m -10 2 R l u"), 3),
            (Lines{R"({"kind":"mouse","type":1,"x":505,"y":403,"button":0})",
                   R"({"kind":"mouse","type":6,"x":495,"y":405,"button":0})",
                   R"({"kind":"mouse","type":2,"x":495,"y":405,"button":0})"}));
  // Moves that would leave the only screen stop at its edge, per axis.
  EXPECT_EQ(SendAndCollect(Mos("m 9999 -20"), 1),
            Lines{R"({"kind":"mouse","type":5,"x":999,"y":385,"button":0})"});
  EXPECT_EQ(SendAndCollect(Mos("c"), 2),
            (Lines{R"({"kind":"mouse","type":1,"x":999,"y":385,"button":0})",
                   R"({"kind":"mouse","type":2,"x":999,"y":385,"button":0})"}));
}

TEST_F(InputOverSocket, GathersWheelStepsPerReadAndPostsThemDividedByFive) {
  EXPECT_EQ(SendAndCollect(Mos("w 12 h 3"), 1),
            Lines{R"({"kind":"scroll","vertical":2,"horizontal":0})"});
  EXPECT_EQ(SendAndCollect(Mos("w -10"), 1),
            Lines{R"({"kind":"scroll","vertical":-2,"horizontal":0})"});
  client_.Send(Mos("w 1"));  // one step alone is below the threshold: nothing at all
  EXPECT_EQ(SendAndCollect(Mos("w 1") + Mos("w 1") + Mos("w 1") + Mos("w 1") + Mos("w 1"), 1),
            Lines{R"({"kind":"scroll","vertical":1,"horizontal":0})"});
}

TEST_F(InputOverSocket, ReleasesWhatAVanishedClientHeld) {
  SendAndCollect(Key("[R] SHIFT d"), 1);
  SendAndCollect(Mos("R l d"), 1);
  SendAndCollect("slideleft\n", 1);
  size_t before = server_.JournalLines().size();
  client_.Close();
  std::vector<std::string> lines = server_.WaitForJournal(before + 3);
  ASSERT_EQ(lines.size(), before + 3);
  EXPECT_EQ(
      Lines(lines.begin() + static_cast<long>(before), lines.end()),
      (Lines{
          R"({"kind":"script","name":"EndSwitchingWindow","source":"tell application \"System Events\"\nkey up {command}\nend tell"})",
          R"({"kind":"mouse","type":2,"x":500,"y":400,"button":0})",
          R"({"kind":"key","code":56,"down":false,"source":"none"})"}));
}

TEST_F(InputOverSocket, AClientThatLetGoLeavesNothingToRelease) {
  SendAndCollect(Key("[R] SHIFT d") + Key("[R] SHIFT u"), 2);
  SendAndCollect("drag start\ndrag end\n", 2);
  size_t before = server_.JournalLines().size();
  client_.Close();
  SocketClient probe = SocketClient::Greeted(server_.Port());
  probe.Send("ping\n");
  ASSERT_EQ(probe.Read(4), "echo");  // the close has been handled by now
  EXPECT_EQ(server_.JournalLines().size(), before);
}

}  // namespace
}  // namespace hovra::testing
