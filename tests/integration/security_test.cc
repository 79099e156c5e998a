// The PIN from the shell, starts that fail closed and private files, over the real binary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>

#include "app/password.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::Value;

int Match(const std::string& text, const char* pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? std::stoi(match[1]) : 0;
}

TEST(FailClosed, AnUnusableSettingsFileLeavesProtectionOnWithANewPinShown) {
  TempDir dir;  // private (0700)
  const std::string config = dir.path().string();
  const std::string file = config + "/settings.json";
  WriteFile(file, R"({"password": 1234, "pass)");  // cut short
  ServerProcess server(ServerProcessOptions{.extraArgs = {"--config-dir", config}});
  ASSERT_NE(server.Port(), 0) << "started without hanging or crashing\n" << server.Stderr();
  int pin = Match(server.Stderr(), "Password protection is on with the new PIN ([1-9]{4})");
  ASSERT_NE(pin, 0) << server.Stderr();
  EXPECT_NE(server.Stderr().find("cannot be used"), std::string::npos);

  const std::string shown = "Password protection is on with the new PIN " + std::to_string(pin);
  EXPECT_TRUE(PollUntil([&] { return Value(server.JournalLines(), Contains(HasSubstr(shown))); }))
      << "and as a notice";
  SocketClient client(server.Port());
  EXPECT_EQ(client.Read(16 + 13), "system mac 14.2\nneedpassword\n");

  nlohmann::json now = nlohmann::json::parse(ReadFile(file));
  EXPECT_EQ(now.value("passwordCheck", false), true);
  EXPECT_EQ(now.value("password", 0), pin);
  // The old file is kept under a new name; what it holds is the store's own test.
  EXPECT_THAT(SortedNames(config), Contains(StartsWith("settings.json.unreadable-")).Times(1));
  for (const std::string& name :
       {file, config + "/HovraServer.cfg", server.Dir() + "/journal.jsonl"})
    EXPECT_EQ(fs::status(name).permissions(), fs::perms::owner_read | fs::perms::owner_write)
        << name << " is readable by its owner only";
}

TEST(FailClosed, AStartOnATakenPortOrAFolderOthersCanChangeEndsWithAnError) {
  ServerProcess first;
  TempDir dir;
  const std::string config = dir.path().string();
  ASSERT_EQ(::chmod(config.c_str(), 0777), 0);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--port", std::to_string(first.Port())}, "cannot listen on TCP port"},
      {{"--config-dir", config},
       "the configuration folder " + config + " can be changed by other users (mode 0777)"}};
  for (const auto& [args, message] : cases) {
    ServerProcess server(ServerProcessOptions{.extraArgs = args, .waitUntilListening = false});
    EXPECT_EQ(server.WaitForExit(10s), 1);
    EXPECT_NE(server.Stderr().find(message), std::string::npos) << server.Stderr();
  }
  CommandResult on = RunHovraCommand({"password", "on", "--config-dir", config}, config);
  EXPECT_EQ(on.exitCode, 1);
  EXPECT_FALSE(fs::exists(config + "/settings.json")) << "nothing written there";
}

TEST(Pin, FromTheShellIsEnforcedByTheRunningServer) {
  ServerProcess server(ServerProcessOptions{
      .simJson = R"({"osVersion":"14.2","screens":[[0,0,1000,800]],"pointer":[500,400]})"});
  SocketClient before(server.Port());
  EXPECT_EQ(before.ReadUntil("\n"), "system mac 14.2\n");
  before.Send("ping\n");
  EXPECT_EQ(before.Read(4), "echo") << "protection is off: not asked";

  CommandResult on = RunHovraCommand({"password", "on", "--config-dir", server.Dir() + "/config"},
                                     server.Dir() + "/home");
  ASSERT_EQ(on.exitCode, 0) << on.out;
  int pin = Match(on.out, "PIN: ([1-9]{4})");
  ASSERT_NE(pin, 0) << on.out;
  // Who has not given the PIN is closed once protection goes on.
  EXPECT_TRUE(before.WaitForClose());
  EXPECT_TRUE(server.WaitForStderr("password protection was turned on: closing 1 connected"));

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
  EXPECT_THAT(server.WaitForJournal(1),
              Contains(R"({"kind":"mouse","type":5,"x":505,"y":400,"button":0})"));
}

}  // namespace
}  // namespace hovra::testing
