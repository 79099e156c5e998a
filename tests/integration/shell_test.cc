// The PIN from the shell, seen and enforced by a running server.
#include <gtest/gtest.h>

#include <regex>

#include "app/password.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

int PinFrom(const std::string& out) {
  std::smatch match;
  if (!std::regex_search(out, match, std::regex("PIN: ([1-9]{4})"))) return 0;
  return std::stoi(match[1]);
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
  int pin = PinFrom(on.out);
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
  bool moved = false;
  for (const std::string& line : server.WaitForJournal(1))
    moved |= line == R"({"kind":"mouse","type":5,"x":505,"y":400,"button":0})";
  EXPECT_TRUE(moved);
}

}  // namespace
}  // namespace hovra::testing
