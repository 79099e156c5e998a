// The host application as a user meets it: configuration on disk, the PIN from the shell
// seen by a running server, enforcement of the PIN, power actions on the timer's tick.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/password.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

int PinFrom(const std::string& out) {
  std::smatch match;
  if (!std::regex_search(out, match, std::regex("PIN: ([1-9]{4})"))) return 0;
  return std::stoi(match[1]);
}

TEST(Configuration, IsCreatedOnceAndKeptAcrossStarts) {
  TempDir dir;
  const std::string config = dir.path().string();
  std::string uuid;
  for (int start = 0; start < 2; ++start) {
    ServerProcessOptions options;
    options.extraArgs = {"--config-dir", config};
    ServerProcess server(options);
    ASSERT_NE(server.Port(), 0) << server.Stderr();
    server.Stop();
    std::string cfg = ReadFile(config + "/HovraServer.cfg");
    EXPECT_EQ(cfg, std::string(16, '\0'));
    std::smatch match;
    std::string settings = ReadFile(config + "/settings.json");
    ASSERT_TRUE(std::regex_search(settings, match,
                                  std::regex("\"UUID\":\\s*\"([0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-"
                                             "[89AB][0-9A-F]{3}-[0-9A-F]{12})\"")))
        << settings;
    if (start == 0) uuid = match[1];
    EXPECT_EQ(match[1], uuid) << "the identifier is made once";
  }
  // An existing configuration file is read and left as it is.
  WriteFile(config + "/HovraServer.cfg", "keep me as I am!!");
  ServerProcessOptions options;
  options.extraArgs = {"--config-dir", config};
  { ServerProcess server(options); }
  EXPECT_EQ(ReadFile(config + "/HovraServer.cfg"), "keep me as I am!!");
}

TEST(Configuration, DefaultsToTheUsersConfigFolder) {
  ServerProcessOptions options;
  options.ownConfigDir = false;
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  EXPECT_TRUE(fs::exists(server.Dir() + "/home/.config/HovraServer/HovraServer.cfg"));
  EXPECT_TRUE(fs::exists(server.Dir() + "/home/.config/HovraServer/settings.json"));
  EXPECT_EQ(server.Stop(), 0);
}

TEST(Pin, FromTheShellIsEnforcedByTheRunningServer) {
  ServerProcessOptions options;
  options.simJson = R"({"osVersion":"14.2","screens":[[0,0,1000,800]],"pointer":[500,400]})";
  ServerProcess server(options);
  SocketClient before(server.Port());
  EXPECT_EQ(before.ReadUntil("\n"), "system mac 14.2\n");

  CommandResult on = RunHovraCommand({"password", "on", "--config-dir", server.Dir() + "/config"},
                                     server.Dir() + "/home");
  ASSERT_EQ(on.exitCode, 0) << on.out;
  int pin = PinFrom(on.out);
  ASSERT_NE(pin, 0) << on.out;

  SocketClient client(server.Port());
  EXPECT_EQ(client.Read(16 + 13), "system mac 14.2\nneedpassword\n");
  // Unverified input is consumed and ignored; ping still answers.
  client.Send(MouseFrame("m 5 0") + "zoomin\nping\n");
  EXPECT_EQ(client.Read(4), "echo");
  EXPECT_TRUE(server.JournalLines().empty() ||
              server.JournalLines().back().find("notice") != std::string::npos);
  client.Send("verifypassword " + app::Md5Hex(std::to_string(pin)) + "\n" + MouseFrame("m 5 0") +
              "ping\n");
  EXPECT_EQ(client.ReadUntil("echo"), "verifypassword ok\necho");
  bool moved = false;
  for (const std::string& line : server.WaitForJournal(1)) {
    moved |= line == R"({"kind":"mouse","type":5,"x":505,"y":400,"button":0})";
  }
  EXPECT_TRUE(moved);
}

TEST(Pin, TheSixthWrongAnswerClosesTheConnection) {
  ServerProcess server;
  ASSERT_EQ(RunHovraCommand({"password", "on", "--config-dir", server.Dir() + "/config"},
                            server.Dir() + "/home")
                .exitCode,
            0);
  SocketClient client(server.Port());
  client.ReadUntil("needpassword\n");
  std::string upperCase = "VERIFYPASSWORD";  // not even the keyword: ignored, not counted
  client.Send(upperCase + " x\n");
  for (int attempt = 1; attempt <= 5; ++attempt) {
    client.Send("verifypassword 0000\n");
    ASSERT_EQ(client.Read(22), "verifypassword failed\n") << attempt;
  }
  client.Send("verifypassword \n");
  EXPECT_EQ(client.Read(22), "verifypassword failed\n");
  EXPECT_TRUE(client.WaitForClose());
}

TEST(Autostart, TogglesTheUsersLoginEntry) {
  TempDir dir;
  const std::string home = dir.path().string();
  EXPECT_NE(RunHovraCommand({"autostart", "status"}, home).out.find("off"), std::string::npos);
  ASSERT_EQ(RunHovraCommand({"autostart", "on"}, home).exitCode, 0);
  EXPECT_FALSE(fs::is_empty(home + "/.config/autostart"));
  EXPECT_NE(RunHovraCommand({"autostart", "status"}, home).out.find("on"), std::string::npos);
  ASSERT_EQ(RunHovraCommand({"autostart", "off"}, home).exitCode, 0);
  EXPECT_NE(RunHovraCommand({"autostart", "status"}, home).out.find("off"), std::string::npos);
}

}  // namespace
}  // namespace hovra::testing
