// Every command in action_commands.txt through the command table in one process (those with
// a remembered state are sent an even number of times); "~" lines are the next tick's.
#include <gtest/gtest.h>

#include <fstream>

#include "actions/desktop_actions.h"
#include "server/client.h"
#include "server/command_table.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

struct Case {
  std::string sim;
  std::string line;
  int times = 1;
  Lines expected;
  Lines afterTick;
};

// "@ SIM" starts a section, "> N LINE" a case (LINE sent N times), "~" the tick's lines.
std::vector<Case> ReadCases() {
  std::ifstream in(HOVRA_ACTION_COMMANDS);
  std::vector<Case> cases;
  std::string sim;
  bool tick = false;
  for (std::string text; std::getline(in, text);) {
    if (text.starts_with("@ ")) {
      sim = text.substr(2);
    } else if (text.starts_with("> ")) {
      cases.push_back(Case{sim, text.substr(4), text[2] - '0', {}, {}});
      tick = false;
    } else if (text == "~") {
      tick = true;
    } else if (!text.empty() && text[0] != '#' && !cases.empty()) {
      (tick ? cases.back().afterTick : cases.back().expected).push_back(text);
    }
  }
  return cases;
}

void RunLine(const std::string& line) {
  const CommandRow* row = MatchCommand(line);
  if (row == nullptr) return;
  _MouseClnt client;
  CommandContext context{client, line.c_str(), line.c_str() + row->keyword.size()};
  row->op(context);
}

TEST(ActionCommands, EachLineWritesExactlyItsJournal) {
  const std::vector<Case> cases = ReadCases();
  ASSERT_GT(cases.size(), 100u);
  actions::ResetPlayerStateGuesses();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line + " with " + c.sim);
    TestPlatform platform(c.sim);
    for (int i = 0; i < c.times; ++i) RunLine(c.line);
    EXPECT_EQ(platform.Take(), c.expected);
    actions::CarryOutPendingPowerActions();
    EXPECT_EQ(platform.Take(), c.afterTick);
  }
}

}  // namespace
}  // namespace hovra::testing
