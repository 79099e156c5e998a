// The real hovra-server with --input portal on a private bus: the session starts once the
// server runs, a key frame reaches the portal as a keysym, and the portal's restore token
// is written with the settings; a refusal is shown to the user.
#include <gtest/gtest.h>

#include <memory>

#include "tests/portal/fake_portal.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class ServerOnPortal : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& portalOptions) {
    if (std::string why = FakePortal::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    portal_ = std::make_unique<FakePortal>(portalOptions);
    ASSERT_TRUE(portal_->Running());
    ServerProcessOptions options;
    options.extraArgs = {"--input", "portal"};
    options.environment = {{"DBUS_SESSION_BUS_ADDRESS", portal_->Address()}};
    server_ = std::make_unique<ServerProcess>(options);
    ASSERT_NE(server_->Port(), 0) << server_->Stderr();
  }

  std::unique_ptr<FakePortal> portal_;
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(ServerOnPortal, KeysReachThePortalAndTheChoiceIsKeptWithTheSettings) {
  Start({"--version", "2", "--token", "kept-choice-7"});
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(server_->WaitForStderr("the desktop portal started remote input"))
      << server_->Stderr();
  SocketClient client(server_->Port());
  client.ReadUntil("\n");
  client.Send("key001a");
  EXPECT_TRUE(portal_->Logged("\"NotifyKeyboardKeysym\"")) << ReadFile(portal_->Log());
  std::string settings = ReadFile(server_->Dir() + "/config/settings.json");
  EXPECT_NE(settings.find("kept-choice-7"), std::string::npos) << settings;
}

TEST_F(ServerOnPortal, ARefusalIsShown) {
  Start({"--answer", "deny"});
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(server_->WaitForStderr("declined remote input")) << server_->Stderr();
  EXPECT_TRUE(server_->WaitForStderr("Remote input was declined")) << server_->Stderr();
}

}  // namespace
}  // namespace hovra::testing
