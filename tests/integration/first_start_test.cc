// What a person sees when the server starts, and a standard output of journal lines only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "app/password.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

using ::testing::HasSubstr;

// The actions' table's command lines, and the largest simulated desktop it names.
std::vector<std::string> ActionCommandLines(std::string& simJson) {
  std::vector<std::string> lines;
  std::ifstream table(HOVRA_ACTION_COMMANDS);
  for (std::string line; std::getline(table, line);) {
    if (line.rfind("> ", 0) == 0) lines.push_back(line.substr(line.find(' ', 2) + 1));
    if (line.rfind("@ ", 0) == 0 && line.size() - 2 > simJson.size()) simJson = line.substr(2);
  }
  return lines;
}

size_t Count(const std::string& text, std::string_view part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The journal, wherever this test sent it (a file, or standard output).
std::string Journal(const ServerProcess& server) {
  return ReadFile(server.Dir() + "/journal.jsonl") + server.Stdout();
}

// Two power commands in turn, each run at a tick: a whole tick has passed. After `prelude`.
void WaitForTwoTicks(const ServerProcess& server, const std::string& prelude = "") {
  constexpr char kReboot[] = R"("name":"Reboot")";
  const size_t before = Count(Journal(server), kReboot);
  SocketClient client(server.Port());
  client.ReadUntil("\n");
  client.Send(prelude);
  for (size_t sent = 1; sent <= 2; ++sent) {
    client.Send("reboot\n");
    ASSERT_TRUE(PollUntil([&] { return Count(Journal(server), kReboot) >= before + sent; }, 10s))
        << "no timer tick within 10 s";
  }
}

TEST(FirstStart, SaysWhatRunsWhereAndHowToSeeOrChangeThePinWithOnlyTheJournalOnStdout) {
  std::string biggestSim;
  const std::vector<std::string> actions = ActionCommandLines(biggestSim);
  ASSERT_GT(actions.size(), 50u);
  nlohmann::json sim = nlohmann::json::parse(biggestSim);
  sim["addresses"] = {"192.168.1.5", "127.0.0.1", "fe80::1"};
  ServerProcess first(ServerProcessOptions{
      .simJson = sim.dump(), .extraArgs = {"--journal", "-"}, .simControl = true});
  const std::string config = first.Dir() + "/config";
  const std::string command = "\"hovra-server --config-dir " + config + " password ";
  ASSERT_TRUE(first.WaitForStderr("  addresses: ")) << first.Stderr();
  for (const std::string& line :
       {"\nHovra Server " HOVRA_APP_VERSION " on TCP port " + std::to_string(first.Port()) +
            " (no discovery: phones need the address)\n",
        std::string("\n  input: journal (asked for) - simulated: pointer and keys are only "),
        std::string("\n  desktop: journal (asked for) - simulated: "),
        std::string("\n  ui: headless (asked for) - no window: notices go to standard error\n"),
        "\n  PIN: off - any phone on the network may connect; " + command + "on\" asks for one\n",
        std::string("\n  addresses: 192.168.1.5, fe80::1\n")})
    EXPECT_THAT(first.Stderr(), HasSubstr(line));
  // Without --verbose the screen frames stay out of the log.
  EXPECT_EQ(first.Stderr().find("1920.000000 1080.000000"), std::string::npos);
  WaitForTwoTicks(first);
  EXPECT_EQ(
      Count(Journal(first), R"({"kind":"notice","message":"  192.168.1.5\n  fe80::1\n","url":""})"),
      1u)
      << "the start-up notice";

  // Standard output carries the journal lines alone, whatever clients send.
  SocketClient client = SocketClient::Greeted(first.Port());
  std::string bytes = MouseFrame("m 5 3") + MouseFrame("R l d m -10 2 R l u") +
                      MouseFrame("R r d R r u w 12 h 3") + KeyFrame("A") +
                      KeyFrame("CTRL[+]SHIFT[+]a") + "utf8 Hi \xC3\xA9\xF0\x9F\x98\x80\n" +
                      "slideleft\nslideright\nzoomin\ndrag start\ndrag end\n" +
                      "get_dock_info\nget_icon org.videolan.vlc\nget_icon no.such.app\n" +
                      "fileexplorer " + first.Dir() + "\nverifypassword 0123\n" +
                      "Msg||Hello||https://example.test/\nreportCurrentApp\n";
  for (const std::string& line : actions) bytes += line + "\n";
  client.Send(bytes + "ping\n");
  ASSERT_NE(client.ReadUntil("echo", 20s).find("echo"), std::string::npos);
  first.Control(R"({"notify":"activated","bundleId":"org.videolan.vlc","name":"VLC","policy":0})");
  ASSERT_NE(client.ReadUntil("currentapp org.videolan.vlc\n").find("org.videolan.vlc"),
            std::string::npos);
  WaitForTwoTicks(first);  // the pending power actions and the notices are out
  ASSERT_EQ(first.Stop(), 0);
  std::map<std::string, int> kinds;
  size_t lines = 0;
  std::istringstream out(first.Stdout());
  for (std::string line; std::getline(out, line); ++lines) {
    nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
    ASSERT_TRUE(parsed.is_object()) << "not a journal line: " << line;
    ++kinds[parsed.value("kind", "")];
  }
  EXPECT_GT(lines, actions.size());
  for (const char* kind : {"key", "mouse", "scroll", "script", "notice"})
    EXPECT_GT(kinds[kind], 0) << kind;
  for (const char* moved : {"sending: currentapp org.videolan.vlc", "notice: Hello"})
    EXPECT_THAT(first.Stderr(), HasSubstr(moved));

  // The command the block names turns the PIN on; the next start says so and how to see it.
  CommandResult on = RunHovraCommand({"--config-dir", config, "password", "on"}, first.Dir());
  std::smatch pin;
  ASSERT_TRUE(std::regex_search(on.out, pin, std::regex("PIN: ([1-9]{4})"))) << on.out;
  ServerProcess hidden(ServerProcessOptions{
      .simJson = sim.dump(), .extraArgs = {"--config-dir", config, "--hidden", "--verbose"}});
  ASSERT_TRUE(hidden.WaitForStderr("  addresses: ")) << hidden.Stderr();
  EXPECT_THAT(hidden.Stderr(), HasSubstr("\n  PIN: on - " + command + "show\" shows it, " +
                                         command + "off\" stops asking\n"));
  EXPECT_THAT(hidden.Stderr(),
              HasSubstr(" hovra-server: 0.000000 0.000000 1920.000000 1080.000000\n"))
      << "--verbose logs the screen frames";
  WaitForTwoTicks(hidden, "verifypassword " + app::Md5Hex(pin[1].str()) + "\n");
  EXPECT_EQ(Count(Journal(hidden), R"("kind":"notice")"), 0u)
      << "--hidden shows no start-up notice";
}

}  // namespace
}  // namespace hovra::testing
