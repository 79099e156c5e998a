// The real hovra-server in a Wayland session: "auto" picks the wayland backend even with
// an X display beside it (Xwayland's XTEST would reach no Wayland window), and frames and
// text sent over a socket arrive at a Wayland window; the first key included. Without any
// input backend that reaches the session, the server says so in one line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

std::string Frame(std::string_view tag, std::string_view payload) {
  char header[8];
  std::snprintf(header, sizeof header, "%.3s%03zu", tag.data(), payload.size());
  return header + std::string(payload);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

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
  ASSERT_TRUE(window.WaitForKeyboard()) << sway.Log();
  SocketClient client(server->Port());
  client.ReadUntil("\n");
  client.Send(Frame("key", "a"));
  EXPECT_EQ(window.TakeText(1), U"a");
  client.Send("utf8 \xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\n");  // é, 中 and 😀: none on a key
  EXPECT_EQ(window.TakeText(3), U"é中😀");
  client.Send(Frame("mos", "m 10 20"));  // from the centre of the output
  EXPECT_TRUE(window.WaitForPointerAt(650, 420));
  client.Send(Frame("mos", "c"));
  EXPECT_EQ(window.TakeButtons(2),
            (std::vector<WaylandButton>{{0x110, true, 650, 420}, {0x110, false, 650, 420}}));
  client.Send(Frame("mos", "w 10"));
  EXPECT_EQ(window.TakeWheel(1), (std::vector<std::pair<unsigned, int>>{{0, -2}}));
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
  EXPECT_EQ(Count(server.Stderr(), "no input backend reaches this Wayland session"), 1u)
      << server.Stderr();
}

}  // namespace
}  // namespace hovra::testing
