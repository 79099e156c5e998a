// The framing loop over a client's buffer: frames, lines, waiting and discarding.

#include "tests/server/server_fixture.h"

namespace hovra::testing {
namespace {

using Framing = ServerFixture;

TEST_F(Framing, HandlesEveryMessageExactlyOnceWhateverTheReadBoundaries) {
  const std::string stream = "mos005m 5 3key001aping\nmos007m -5 -3key008CTRL[+]czoomin\r\n";
  auto whole = MakeClient();
  Feed(*whole, stream);
  const Lines expected = platform_.Take();
  ASSERT_EQ(whole->peer->ReadAvailable(50ms), "echo");
  // Two moves, "a" (2), Control-c (4), the zoom (4).
  ASSERT_EQ(expected.size(), 12u) << ::testing::PrintToString(expected);

  for (size_t cut = 1; cut < stream.size(); ++cut) {
    auto client = MakeClient();
    Feed(*client, stream.substr(0, cut));
    Feed(*client, stream.substr(cut));
    EXPECT_EQ(platform_.Take(), expected) << "cut at " << cut;
    EXPECT_EQ(client->peer->ReadAvailable(20ms), "echo") << "cut at " << cut;
    EXPECT_EQ(client->record.recvBuf.Length(), 0);
  }
}

TEST_F(Framing, WaitsForWholeFramesAndLines) {
  auto c = MakeClient();
  Feed(*c, "key0");
  EXPECT_EQ(c->record.recvBuf.Length(), 4);
  Feed(*c, "03abc");  // "abc" is no key name: the frame goes, nothing is typed
  EXPECT_EQ(c->record.recvBuf.Length(), 0);
  // Two bytes are too few for anything; a third lets the line through.
  Feed(*c, "a\n");
  EXPECT_EQ(c->record.recvBuf.Length(), 2);
  Feed(*c, "p");
  EXPECT_EQ(c->record.recvBuf.Length(), 1);
  EXPECT_TRUE(platform_.Take().empty());
}

TEST_F(Framing, ReadsLengthFieldsByTheDecimalRule) {
  auto c = MakeClient();
  // " 1" is a length too.
  Feed(*c, "key  1a");
  // The field "1 a" reads as 1: the header takes one "a", the payload the next.
  Feed(*c, "key1 aaaaaaaaaa");
  EXPECT_EQ(Buffered(*c), "aaaaaaaa");
  c->record.recvBuf.Clear();
  Feed(*c, "key-05ping\n");  // a negative length loses only its header
  EXPECT_EQ(c->peer->ReadAvailable(50ms), "echo");
  // "keyboard": a frame of length 0 ("boa" has no digits), then the line "rd".
  Feed(*c, "keyboard\n");
  EXPECT_EQ(c->record.recvBuf.Length(), 0);
  EXPECT_EQ(platform_.Take().size(), 4u) << "two a's typed";
}

TEST_F(Framing, ANulHidesTheNewlineUntilTheBufferIsDiscarded) {
  auto c = MakeClient();
  Feed(*c, std::string("zoomin\0\n", 8));
  EXPECT_EQ(c->record.recvBuf.Length(), 8);
  EXPECT_TRUE(platform_.Take().empty());
  // The buffer fills without a frame or line; the next read starts afresh.
  Feed(*c, std::string(kRecvBufferBytes - 8, 'x'));
  EXPECT_EQ(c->record.recvBuf.Length(), kRecvBufferBytes);
  Feed(*c, "ping\n");
  EXPECT_EQ(c->record.recvBuf.Length(), 0);
  EXPECT_EQ(c->peer->ReadAvailable(50ms), "echo");
}

TEST_F(Framing, GathersWheelMotionPerRead) {
  auto c = MakeClient();
  Feed(*c, "mos003w 3");
  Feed(*c, "mos003w 2");
  EXPECT_TRUE(platform_.Take().empty()) << "each read's steps alone are under a notch";
  Feed(*c, "mos003w 3mos003w 2");
  EXPECT_EQ(platform_.Take(), Lines{R"({"kind":"scroll","vertical":1,"horizontal":0})"});
}

TEST_F(Framing, DropsOverLongLinesWholeAndGoesOn) {
  auto c = MakeClient();
  std::string longText(5000, 'a');
  Feed(*c, "utf8 " + longText + "\nping\n");
  EXPECT_TRUE(platform_.Take().empty()) << "a line that does not fit is not typed in part";
  EXPECT_EQ(c->peer->ReadAvailable(50ms), "echo");
  std::string fits(4095 - 5, 'b');
  Feed(*c, "utf8 " + fits + "\r\n");
  EXPECT_EQ(platform_.Take().size(), 2 * fits.size());
}

TEST_F(Framing, CommandLinesMatchByPrefixAndCaseAndTakeTheirNumbers) {
  auto c = MakeClient();
  Feed(*c, "zoominabc\nZOOMIN\nzoomi\npingpong\n\r\n\n");
  EXPECT_EQ(platform_.Take().size(), 4u) << "only zoominabc zooms";
  EXPECT_EQ(c->peer->ReadAvailable(50ms), "echo");
  Feed(*c, "drag 12\ndrag 12 -5\n");  // a drag line needs two numbers
  Lines lines = platform_.Take();
  ASSERT_EQ(lines.size(), 1u);
  // The pointer starts mid-screen at screen y 540, event y 540 (1080 - 1 - 539); 5 up is 535.
  EXPECT_EQ(lines[0], R"({"kind":"mouse","type":6,"x":972,"y":535,"button":0})");
}

}  // namespace
}  // namespace hovra::testing
