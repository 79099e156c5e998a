// The real hovra-server with --input portal on a private bus: the session starts once the
// server runs, a key frame reaches the portal as a keysym, and the portal's restore token
// is written with the settings; a refusal is shown to the user.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "tests/portal/private_bus.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class ServerOnPortal : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& portalOptions) {
    if (!PrivateBus::Available()) GTEST_SKIP() << "dbus-daemon is not installed";
    if (!RunCapturing({HOVRA_PYTHON3, "-c", "import dbus, gi"})) {
      GTEST_SKIP() << "python3-dbus or python3-gi is not installed";
    }
    bus_ = std::make_unique<PrivateBus>();
    ASSERT_TRUE(bus_->Running());
    std::vector<std::string> argv = {HOVRA_PYTHON3, HOVRA_FAKE_PORTAL, "--log",
                                     bus_->Dir() + "/log"};
    argv.insert(argv.end(), portalOptions.begin(), portalOptions.end());
    portal_ = std::make_unique<LineReader>(
        argv, std::vector<std::string>{"DBUS_SESSION_BUS_ADDRESS=" + bus_->Address()});
    ASSERT_TRUE(portal_->WaitFor([](const std::string& line) { return line == "ready"; }, 10s));
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_->Address().c_str(), 1);
    ServerProcessOptions options;
    options.extraArgs = {"--input", "portal"};
    server_ = std::make_unique<ServerProcess>(options);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_NE(server_->Port(), 0) << server_->Stderr();
  }
  bool PortalLogged(const std::string& text) {
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (ReadFile(bus_->Dir() + "/log").find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  std::unique_ptr<PrivateBus> bus_;
  std::unique_ptr<LineReader> portal_;
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
  EXPECT_TRUE(PortalLogged("\"NotifyKeyboardKeysym\"")) << ReadFile(bus_->Dir() + "/log");
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
