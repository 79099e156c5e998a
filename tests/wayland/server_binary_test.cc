// The real hovra-server in a Wayland session (an X display beside it must not be chosen).
#include <gtest/gtest.h>

#include "tests/support/desktop/sway_session.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"
#include "tests/wayland/wayland_client.h"
#if HOVRA_TEST_HAVE_XVFB
#include "tests/support/desktop/xvfb_display.h"
#endif

namespace hovra::testing {
namespace {

TEST(ServerOnWayland, AutoChoosesWaylandAndFramesReachAWaylandWindow) {
  if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  SwaySession sway;
  ASSERT_TRUE(sway.Running()) << sway.Log();
  WaylandClient window(sway, "org.hovra.Test");
  ASSERT_TRUE(window.Ready());
  ServerProcessOptions options;
  options.extraArgs = {"--input", "auto"};
  options.environment = {{"XDG_SESSION_TYPE", "wayland"},
                         {"WAYLAND_DISPLAY", sway.Display()},
                         {"DBUS_SESSION_BUS_ADDRESS", ""},  // never the host's
                         {"DISPLAY", ""}};
#if HOVRA_TEST_HAVE_XVFB
  XvfbDisplay xvfb;  // standing in for Xwayland
  if (xvfb.Running()) options.environment.back().second = xvfb.Name();
#endif
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  EXPECT_TRUE(server.WaitForStderr("input: wayland (")) << server.Stderr();
  // The server made its keyboard and pointer at start: the window has both long before
  // the first frame, so the first key is not lost.
  ASSERT_TRUE(window.WaitForLine("keyboard-enter")) << sway.Log();
  SocketClient client = SocketClient::Greeted(server.Port());
  client.Send(KeyFrame("a"));
  EXPECT_EQ(window.TakeText(1), U"a");
  client.Send(MouseFrame("m 10 20"));  // from the centre of the output
  EXPECT_TRUE(window.WaitForPointerAt(650, 420));
}

}  // namespace
}  // namespace hovra::testing
