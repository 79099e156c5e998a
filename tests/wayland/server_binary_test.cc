// The real hovra-server in a Wayland session: "auto" picks the wayland backend even with
// an X display beside it (Xwayland's XTEST would reach no Wayland window), and frames sent
// over a socket arrive at a Wayland window, the first key included (what each input does
// there is input_test.cc's). Without any
// input backend that reaches the session, the server says so in one line.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/desktop/sway_session.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"
#include "tests/wayland/wayland_client.h"
#if HOVRA_TEST_HAVE_XVFB
#include "tests/support/desktop/xvfb_display.h"
#endif

namespace hovra::testing {
namespace {

// The server in a Wayland session, with an X display beside it where Xvfb is there
// (standing in for Xwayland), and no session bus of the host's.
class WaylandSessionServer {
 public:
  explicit WaylandSessionServer(const std::string& waylandDisplay)
      : runtime_(MakeTempDir("hovra-runtime")) {
    ServerProcessOptions options;
    options.extraArgs = {"--input", "auto"};
    options.environment = {{"XDG_SESSION_TYPE", "wayland"},
                           {"WAYLAND_DISPLAY", waylandDisplay},
                           {"XDG_RUNTIME_DIR", runtime_},
                           {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime_ + "/no-bus"},
                           {"DISPLAY", ""}};
#if HOVRA_TEST_HAVE_XVFB
    if (xvfb_.Running()) options.environment.back().second = xvfb_.Name();
#endif
    server = std::make_unique<ServerProcess>(options);
  }
  ~WaylandSessionServer() {
    server.reset();
    RemoveTree(runtime_);
  }

 private:
  std::string runtime_;
#if HOVRA_TEST_HAVE_XVFB
  XvfbDisplay xvfb_;
#endif

 public:
  std::unique_ptr<ServerProcess> server;
};

TEST(ServerOnWayland, AutoChoosesWaylandAndFramesReachAWaylandWindow) {
  if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  SwaySession sway;
  ASSERT_TRUE(sway.Running()) << sway.Log();
  WaylandClient window(sway, "org.hovra.Test");
  ASSERT_TRUE(window.Ready());

  WaylandSessionServer session(sway.Display());
  ServerProcess* server = session.server.get();
  ASSERT_NE(server->Port(), 0) << server->Stderr();
  EXPECT_TRUE(server->WaitForStderr("input: wayland (")) << server->Stderr();
  // The server made its keyboard and pointer at start: the window has both long before
  // the first frame, so the first key is not lost.
  ASSERT_TRUE(window.WaitForLine("keyboard-enter")) << sway.Log();
  SocketClient client(server->Port());
  client.ReadUntil("\n");
  client.Send(KeyFrame("a"));
  EXPECT_EQ(window.TakeText(1), U"a");
  client.Send(MouseFrame("m 10 20"));  // from the centre of the output
  EXPECT_TRUE(window.WaitForPointerAt(650, 420));
}

TEST(ServerOnWayland, CurrentAppReportsFollowTheActivatedWindow) {
  if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  SwaySession sway;
  ASSERT_TRUE(sway.Running()) << sway.Log();
  WaylandSessionServer session(sway.Display());
  ServerProcess* server = session.server.get();
  ASSERT_NE(server->Port(), 0) << server->Stderr();
  SocketClient client(server->Port());
  client.ReadUntil("\n");
  client.Send("reportCurrentApp\n");
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp \n");  // nothing activated yet

  // A new window reports its application twice, launched and activated, as on the Mac.
  auto reported = [&](const std::string& appId) {
    std::string line = "currentapp " + appId + "\n";
    return client.ReadUntil(line).ends_with(line);
  };
  WaylandClient editor(sway, "org.hovra.Editor");
  ASSERT_TRUE(editor.Ready());
  EXPECT_TRUE(reported("org.hovra.Editor"));
  WaylandClient viewer(sway, "org.hovra.Viewer");
  ASSERT_TRUE(viewer.Ready());
  EXPECT_TRUE(reported("org.hovra.Viewer"));
  EXPECT_EQ(client.ReadAvailable(300ms).find("Editor"), std::string::npos);
  ASSERT_TRUE(sway.Command("[app_id=\"org.hovra.Editor\"] focus"));
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp org.hovra.Editor\n");
}

TEST(ServerOnWayland, ASessionNoInputBackendReachesIsSaidInOneLine) {
  WaylandSessionServer session("/nonexistent/wayland-9");
  ServerProcess& server = *session.server;
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  // An X display may be there (Xwayland): it must not be chosen for a Wayland session.
  EXPECT_TRUE(server.WaitForStderr("input: journal (")) << server.Stderr();
  const std::string said = server.Stderr(), line = "no input backend reaches this Wayland session";
  EXPECT_NE(said.find(line), std::string::npos) << said;
  EXPECT_EQ(said.find(line), said.rfind(line)) << "said once";
}

}  // namespace
}  // namespace hovra::testing
