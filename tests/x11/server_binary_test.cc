// The real hovra-server on an X display.
#include <gtest/gtest.h>

#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

TEST(ServerOnX11, AutoChoosesX11AndFramesReachTheDisplay) {
  XvfbDisplay xvfb;
  if (!xvfb.Running()) GTEST_SKIP() << xvfb.WhyNot();
  XClientWindow window(xvfb.Name(), {.focusedCover = true});
  ASSERT_TRUE(window.Open());
  window.WarpPointer(640, 400);
  ServerProcess server(
      {.extraArgs = {"--input", "auto"},
       .environment = {
           {"DISPLAY", xvfb.Name()}, {"XDG_SESSION_TYPE", "x11"}, {"WAYLAND_DISPLAY", ""}}});
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  EXPECT_TRUE(server.WaitForStderr("input: x11 (")) << server.Stderr();
  SocketClient client = SocketClient::Greeted(server.Port());
  // Ctrl+W, the client's Command+C; the second move stops at the left edge.
  client.Send("window close\nkey007WIN[+]cmos007m 10 20mos010m -5000 -3ping\n");
  EXPECT_EQ(client.Read(4), "echo") << server.Stderr();
  int x = -1, y = -1;
  EXPECT_TRUE(WaitUntil([&] {
    window.Pointer(&x, &y);
    return x == 0 && y == 417;
  })) << x
      << "," << y;
  // The keys went before the moves: they reached the window before the pointer's answer.
  EXPECT_EQ(window.TakeKeys(), (std::vector<TypedKey>{{U'w', kControlMask}, {U'c', kControlMask}}));
}

}  // namespace
}  // namespace hovra::testing
