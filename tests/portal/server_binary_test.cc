// The real hovra-server in a Wayland session without virtual input, over a fake portal.
#include <gtest/gtest.h>

#include "tests/portal/fake_portal.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

TEST(ServerOnPortal, AutoChoosesThePortalKeysReachItAndTheChoiceIsKeptWithTheSettings) {
  if (std::string why = FakePortal::Unavailable(); !why.empty()) GTEST_SKIP() << why;
  FakePortal portal({"--version", "2", "--token", "kept-choice-7"});
  ASSERT_TRUE(portal.Running());
  ServerProcessOptions options;
  options.extraArgs = {"--input", "auto"};
  options.environment = {{"DBUS_SESSION_BUS_ADDRESS", portal.Address()},
                         {"XDG_SESSION_TYPE", "wayland"},
                         {"WAYLAND_DISPLAY", "/nonexistent/wayland-9"}};
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  EXPECT_TRUE(server.WaitForStderr("input: portal (")) << server.Stderr();
  ASSERT_TRUE(server.WaitForStderr("the desktop portal started remote input")) << server.Stderr();
  SocketClient client(server.Port());
  client.ReadUntil("\n");
  client.Send("key001a");
  EXPECT_TRUE(portal.Logged("\"NotifyKeyboardKeysym\"")) << ReadFile(portal.Log());
  std::string settings = ReadFile(server.Dir() + "/config/settings.json");
  EXPECT_NE(settings.find("kept-choice-7"), std::string::npos) << settings;
}

}  // namespace
}  // namespace hovra::testing
