// The real server with X11 input and the linux desktop under Xvfb and openbox: "window
// maximize" and "window minimize" reach the window manager as window operations on the
// active window (not as keys a window could take for something else).
#include <gtest/gtest.h>

#include "tests/linux/services/linux_session.h"
#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

TEST(WindowShortcutsOnX11, MaximiseAndMinimiseGoToTheWindowManager) {
  LinuxSession session(false);
  if (!session.Ready()) GTEST_SKIP() << session.Missing();
  XvfbDisplay x(XvfbDisplay::kWithWindowManager);
  if (!x.Running()) GTEST_SKIP() << x.WhyNot();
  XClientWindow window(x.Name(), XClientWindowSpec("Editor", "editor"));
  ASSERT_TRUE(window.Open());
  ASSERT_TRUE(x.Run("wmctrl", {"-i", "-a", window.HexId()}));  // the active window

  ServerProcessOptions options = session.ServerOptions();
  options.extraArgs = {"--input", "x11", "--desktop", "linux"};
  options.environment.emplace_back("DISPLAY", x.Name());
  ServerProcess server(options);
  SocketClient client(server.Port());
  ASSERT_TRUE(client.Connected()) << server.Stderr();
  client.ReadUntil("\n");
  client.Send("window maximize\nping\n");
  ASSERT_EQ(client.Read(4), "echo");
  EXPECT_TRUE(WaitUntil([&] { return window.HasState("MAXIMIZED_VERT"); })) << server.Stderr();
  client.Send("window minimize\n");
  EXPECT_TRUE(WaitUntil([&] { return window.HasState("HIDDEN"); })) << server.Stderr();
}

}  // namespace
}  // namespace hovra::testing
