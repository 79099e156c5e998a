// Window commands are window operations, not keys a window could take for something else.
#include "tests/linux/services/linux_session.h"
#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"

namespace hovra::testing {
namespace {

using WindowShortcutsOnX11 = ServerInSession<>;

TEST_F(WindowShortcutsOnX11, MaximiseAndMinimiseGoToTheWindowManager) {
  XvfbDisplay x(XvfbDisplay::kWithWindowManager);
  if (!x.Running()) GTEST_SKIP() << x.WhyNot();
  XClientWindow window(x.Name(), {.wmClass = "Editor", .wmInstance = "editor"});
  ASSERT_TRUE(window.Open());
  ASSERT_TRUE(x.Run("wmctrl", {"-i", "-a", window.HexId()}));  // the active window
  ServerProcessOptions options = session_.ServerOptions();
  options.extraArgs = {"--input", "x11", "--desktop", "linux"};
  options.environment.emplace_back("DISPLAY", x.Name());
  StartServer(options);
  Send("window maximize");
  EXPECT_TRUE(PollUntil([&] { return window.HasState("MAXIMIZED_VERT"); })) << server_->Stderr();
  Send("window minimize");
  EXPECT_TRUE(PollUntil([&] { return window.HasState("HIDDEN"); })) << server_->Stderr();
}

}  // namespace
}  // namespace hovra::testing
