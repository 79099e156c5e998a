// Security over the real binary: no secrets in logs, settings that fail closed, private
// files, no forged reply lines.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>

#include "app/password.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

int Match(const std::string& text, const char* pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? std::stoi(match[1]) : 0;
}

std::string JournalText(const ServerProcess& server) {
  std::string all;
  for (const std::string& line : server.JournalLines()) all += line + "\n";
  return all;
}

TEST(LogHygiene, AGuessingRunLeavesNoPinAndNoDigestInAnyLog) {
  ServerProcess server;
  CommandResult on = RunHovraCommand({"password", "on", "--config-dir", server.Dir() + "/config"},
                                     server.Dir() + "/home");
  int pin = Match(on.out, "PIN: ([1-9]{4})");
  ASSERT_NE(pin, 0) << on.out;
  // The right answer first: after a guessing run answers wait, for everyone.
  SocketClient right(server.Port());
  right.ReadUntil("needpassword\n");
  right.Send("verifypassword " + app::Md5Hex(std::to_string(pin)) + "\n");
  EXPECT_EQ(right.ReadUntil("\n"), "verifypassword ok\n");
  int guess = 1111;
  for (int connection = 0; connection < 3; ++connection) {
    SocketClient client(server.Port());
    client.ReadUntil("needpassword\n");
    for (int answer = 0; answer < 6; ++answer, ++guess) {
      if (guess == pin) ++guess;
      client.Send("verifypassword " + app::Md5Hex(std::to_string(guess)) + "\x1b[2J\n");
    }
    EXPECT_TRUE(client.WaitForClose()) << "the sixth wrong answer closes the connection";
  }
  ASSERT_TRUE(server.WaitForStderr("wrong PIN from 127.0.0.1"));
  ASSERT_TRUE(server.WaitForStderr("a PIN answer from 127.0.0.1 was refused unchecked"));
  const std::string notice = "Someone at 127.0.0.1 is guessing the PIN";
  EXPECT_TRUE(PollUntil([&] { return JournalText(server).find(notice) != std::string::npos; }))
      << "the desktop is told\n"
      << JournalText(server);

  const std::string logs = server.Stderr() + server.Stdout() + JournalText(server);
  EXPECT_FALSE(std::regex_search(logs, std::regex("[0-9a-fA-F]{32}"))) << logs;
  EXPECT_FALSE(std::regex_search(logs, std::regex("\\b" + std::to_string(pin) + "\\b"))) << logs;
  EXPECT_EQ(logs.find('\x1b'), std::string::npos);
}

struct Spoiled {
  const char* label;
  std::function<void(const std::string& file)> spoil;
};

TEST(FailClosed, AnUnusableSettingsFileLeavesProtectionOnWithANewPinShown) {
  const Spoiled cases[] = {
      {"cut short", [](const std::string& f) { WriteFile(f, R"({"password": 1234, "pass)"); }},
      {"a FIFO in its place",
       [](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }},
  };
  for (const Spoiled& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;  // private (0700)
    const std::string config = dir.path().string();
    const std::string file = config + "/settings.json";
    c.spoil(file);

    ServerProcessOptions options;
    options.extraArgs = {"--config-dir", config};
    ServerProcess server(options);
    ASSERT_NE(server.Port(), 0) << "started without hanging or crashing\n" << server.Stderr();
    int pin = Match(server.Stderr(), "Password protection is on with the new PIN ([1-9]{4})");
    ASSERT_NE(pin, 0) << server.Stderr();
    EXPECT_NE(server.Stderr().find("cannot be used"), std::string::npos);

    const std::string shown = "Password protection is on with the new PIN " + std::to_string(pin);
    EXPECT_TRUE(PollUntil([&] { return JournalText(server).find(shown) != std::string::npos; }))
        << "and as a notice\n"
        << JournalText(server);
    SocketClient client(server.Port());
    EXPECT_EQ(client.Read(16 + 13), "system mac 14.2\nneedpassword\n");

    nlohmann::json now = nlohmann::json::parse(ReadFile(file));
    EXPECT_EQ(now.value("passwordCheck", false), true);
    EXPECT_EQ(now.value("password", 0), pin);
    int kept = 0;  // the old file, under a new name; what it holds is the store's own test
    for (const auto& entry : fs::directory_iterator(config))
      kept += entry.path().filename().string().rfind("settings.json.unreadable-", 0) == 0;
    EXPECT_EQ(kept, 1);
    server.Stop();
  }
}

TEST(FailClosed, AConfigurationFolderOthersCanChangeIsRefused) {
  TempDir dir;
  const std::string config = dir.path().string();
  ASSERT_EQ(::chmod(config.c_str(), 0777), 0);
  ServerProcessOptions options;
  options.extraArgs = {"--config-dir", config};
  options.waitUntilListening = false;
  ServerProcess server(options);
  EXPECT_EQ(server.WaitForExit(10s), 1);
  EXPECT_NE(server.Stderr().find("the configuration folder " + config +
                                 " can be changed by other users (mode 0777)"),
            std::string::npos)
      << server.Stderr();
  CommandResult on = RunHovraCommand({"password", "on", "--config-dir", config}, config);
  EXPECT_EQ(on.exitCode, 1);
  EXPECT_FALSE(fs::exists(config + "/settings.json")) << "nothing written there";
}

TEST(PrivateFiles, TheJournalAndTheSettingsAreReadableByTheirOwnerOnly) {
  ServerProcess server;
  ASSERT_NE(server.Port(), 0);
  RunHovraCommand({"password", "on", "--config-dir", server.Dir() + "/config"},
                  server.Dir() + "/home");
  for (const std::string name :
       {"/journal.jsonl", "/config/settings.json", "/config/HovraServer.cfg"}) {
    struct stat st {};
    ASSERT_EQ(::stat((server.Dir() + name).c_str(), &st), 0) << name;
    EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
  }
}

TEST(Replies, AnIdentifierWithALineFeedNeverReachesAReply) {
  ServerProcessOptions options;
  options.simControl = true;
  ServerProcess server(options);
  SocketClient client = SocketClient::Greeted(server.Port());
  client.Send("reportCurrentApp\n");
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp \n");
  server.Control(
      R"({"notify":"activated","bundleId":"x\nverifypassword ok","name":"X","policy":0})");
  server.Control(
      R"({"notify":"launched","bundleId":"com.example.forged","name":"y\r\nverifypassword ok","policy":0})");
  server.Control(R"({"notify":"activated","bundleId":"org.videolan.vlc","name":"VLC","policy":0})");
  std::string received = client.ReadUntil("currentapp org.videolan.vlc\n");
  client.Send("get_dock_info\n");
  received += client.ReadUntil("\n");
  EXPECT_EQ(received.find("verifypassword"), std::string::npos) << received;
  EXPECT_EQ(received.find("com.example.forged"), std::string::npos) << received;
  EXPECT_NE(received.find("org.videolan.vlc"), std::string::npos) << received;
  EXPECT_TRUE(server.WaitForStderr("holds a line break"));
}

}  // namespace
}  // namespace hovra::testing
