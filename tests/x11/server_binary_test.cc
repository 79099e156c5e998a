// The real hovra-server on an X display: frames sent over a socket move the X pointer and
// type into the focused window; the named shortcuts are the Linux desktop's and a client's
// Command key is Control, unless --command-key super keeps it Super.
#include <gtest/gtest.h>

#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"
#include "tests/x11/test_window.h"

namespace hovra::testing {
namespace {

TEST(ServerOnX11, FramesMoveThePointerAndShortcutsUseTheLinuxKeys) {
  XvfbDisplay xvfb;
  if (!xvfb.Running()) GTEST_SKIP() << xvfb.WhyNot();
  TestWindow window(xvfb.Name());
  ASSERT_TRUE(window.Open());
  window.WarpPointer(640, 400);
  // The keys the window received once the server answered `bytes` and `count` arrived.
  auto typed = [&](const std::vector<std::string>& extraArgs, const std::string& bytes,
                   size_t count) {
    ServerProcessOptions options;
    options.extraArgs = {"--backend", "x11"};
    options.extraArgs.insert(options.extraArgs.end(), extraArgs.begin(), extraArgs.end());
    options.environment = {{"DISPLAY", xvfb.Name()}};
    ServerProcess server(options);
    SocketClient client(server.Port());
    client.ReadUntil("\n");
    client.Send(bytes + "ping\n");
    EXPECT_EQ(client.Read(4), "echo") << server.Stderr();
    std::vector<std::pair<char32_t, unsigned>> keys;
    WaitUntil([&] {
      for (const KeyRecord& key : window.TakeKeys()) {
        keys.emplace_back(key.character,
                          key.state & (kShiftMask | kControlMask | kAltMask | kSuperMask));
      }
      return keys.size() >= count;
    });
    return keys;
  };
  using Keys = std::vector<std::pair<char32_t, unsigned>>;
  // Ctrl+W, Ctrl+T, the client's Command+C; the second move stops at the left edge.
  EXPECT_EQ(
      typed({}, "window close\nbrowser newtab\nkey007WIN[+]cmos007m 10 20mos010m -5000 -3", 3),
      (Keys{{U'w', kControlMask}, {U't', kControlMask}, {U'c', kControlMask}}));
  int x = -1, y = -1;
  EXPECT_TRUE(WaitUntil([&] {
    window.Pointer(&x, &y);
    return x == 0 && y == 417;
  })) << x
      << "," << y;
  EXPECT_EQ(typed({"--command-key", "super"}, "key007WIN[+]c", 1), (Keys{{U'c', kSuperMask}}));
}

}  // namespace
}  // namespace hovra::testing
