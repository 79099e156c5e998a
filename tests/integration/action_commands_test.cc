// Every desktop-action keyword sent over a socket, with applications installed and not:
// the journal must show exactly the events and scripts of the command, and power
// commands are carried out by the next timer tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "tests/support/action_command_cases.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

// The journal's lines but the notices (the address list shows at the first tick).
std::vector<std::string> EventLines(const ServerProcess& server) {
  std::vector<std::string> lines = server.JournalLines();
  std::erase_if(lines, [](const std::string& l) {
    return l.find(R"("kind":"notice")") != std::string::npos;
  });
  return lines;
}

std::vector<std::string> WaitForEventLines(const ServerProcess& server, size_t count) {
  auto deadline = std::chrono::steady_clock::now() + 5s;
  std::vector<std::string> lines = EventLines(server);
  while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
    lines = EventLines(server);
  }
  return lines;
}

TEST(ActionCommandsOverSocket, EachKeywordGivesExactlyItsJournalLines) {
  std::map<std::string, std::vector<const ActionCommandCase*>> bySim;
  for (const ActionCommandCase& c : ActionCommandCases()) bySim[c.simJson].push_back(&c);

  for (const auto& [sim, cases] : bySim) {
    ServerProcessOptions options;
    options.simJson = sim;
    ServerProcess server(options);
    SocketClient client(server.Port());
    ASSERT_TRUE(client.Connected()) << server.Stderr();
    client.ReadUntil("\n");
    for (const ActionCommandCase* c : cases) {
      SCOPED_TRACE(c->label + " (" + c->line + ")");
      size_t before = EventLines(server).size();
      std::string bytes;
      for (int i = 0; i < c->times; ++i) bytes += c->line + "\n";
      client.Send(bytes + "ping\n");  // the echo says every line before it was carried out
      ASSERT_EQ(client.Read(4), "echo");
      std::vector<std::string> expected = c->expected;
      expected.insert(expected.end(), c->afterTimer.begin(), c->afterTimer.end());
      std::vector<std::string> lines = WaitForEventLines(server, before + expected.size());
      EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()),
                expected);
    }
  }
}

}  // namespace
}  // namespace hovra::testing
