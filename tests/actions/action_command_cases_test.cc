// Runs every case of the shared command table through the operation it names, so the
// table the over-the-socket test uses is itself checked against the actions.
#include "tests/support/action_command_cases.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

TEST(ActionCommandCases, EachOperationWritesExactlyTheExpectedJournal) {
  for (const ActionCommandCase& c : ActionCommandCases()) {
    SCOPED_TRACE(c.label);
    actions::ResetPlayerStateGuesses();
    TestPlatform platform(c.simJson);
    for (int i = 0; i < c.times; ++i)
      if (c.call) c.call();
    EXPECT_EQ(platform.Take(), c.expected);
    actions::CarryOutPendingPowerActions();
    EXPECT_EQ(platform.Take(), c.afterTimer);
  }
}

TEST(ActionCommandCases, LabelsAreUniqueAndStatefulCommandsLeaveTheStartState) {
  std::set<std::string> labels;
  for (const ActionCommandCase& c : ActionCommandCases()) {
    EXPECT_TRUE(labels.insert(c.label).second) << c.label;
    EXPECT_GE(c.times, 1) << c.label;
  }
  // Run the whole table in one process without resets, as a long-lived server would: each
  // case must leave the QuickTime guesses as it found them.
  actions::ResetPlayerStateGuesses();
  for (const ActionCommandCase& c : ActionCommandCases()) {
    SCOPED_TRACE(c.label);
    TestPlatform platform(c.simJson);
    for (int i = 0; i < c.times; ++i)
      if (c.call) c.call();
    EXPECT_EQ(platform.Take(), c.expected);
    actions::CarryOutPendingPowerActions();
  }
}

TEST(ActionCommandCases, CoverEveryActionKeyword) {
  std::vector<std::string> keywords = {"MUTE",
                                       "VOLUMEUP",
                                       "VOLUMEDN",
                                       "media play",
                                       "media next",
                                       "media prev",
                                       "media volumeup",
                                       "media volumedown",
                                       "shutdown",
                                       "poweroff",
                                       "reboot",
                                       "logoff",
                                       "sleep",
                                       "browser forward",
                                       "browser back",
                                       "browser home",
                                       "browser search",
                                       "browser refresh",
                                       "browser stop",
                                       "browser favorite",
                                       "browser newtab",
                                       "browser closetab",
                                       "browser openurl ",
                                       "ppt run",
                                       "ppt exit",
                                       "ppt play",
                                       "ppt stop",
                                       "ppt pgdn",
                                       "ppt pgup",
                                       "ppt switch",
                                       "window close",
                                       "window minimize",
                                       "window maximize",
                                       "screenCapture"};
  for (const char* family : {"player play ", "player max ", "player next ", "player prev "})
    for (char digit = '0'; digit <= '6'; ++digit)
      keywords.push_back(family + std::string(1, digit));
  for (const char* family : {"wppt prev ", "wppt play ", "wppt next ", "wppt close ", "wppt stop "})
    for (char digit = '0'; digit <= '1'; ++digit)
      keywords.push_back(family + std::string(1, digit));
  ASSERT_EQ(keywords.size(), 33u + 28u + 10u + 1u);
  for (const std::string& keyword : keywords) {
    bool found = false;
    for (const ActionCommandCase& c : ActionCommandCases())
      found = found || (c.call && c.line.compare(0, keyword.size(), keyword) == 0);
    EXPECT_TRUE(found) << "no case for \"" << keyword << "\"";
  }
}

}  // namespace
}  // namespace hovra::testing
