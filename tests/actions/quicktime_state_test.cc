// QuickTime's play/pause and full-screen commands alternate on guesses kept per process.
#include <gtest/gtest.h>

#include "actions/media_players.h"
#include "tests/actions/recording_scripts.h"
#include "tests/support/test_platform.h"

namespace hovra::actions {
namespace {

using testing::RecordingScripts;
using testing::TestPlatform;

constexpr const char* kQuickTimeInstalled =
    R"({"installed":{"com.apple.QuickTimePlayerX":"/System/Applications/QuickTime Player.app"}})";

class QuickTimeGuesses : public ::testing::Test {
 protected:
  void SetUp() override { ResetPlayerStateGuesses(); }
  void TearDown() override { ResetPlayerStateGuesses(); }
};

TEST_F(QuickTimeGuesses, PlayerPlayFlipsEvenWhenQuickTimeIsMissingAndEachGuessIsItsOwn) {
  {
    TestPlatform missing;
    RecordingScripts scripts;
    setMediaPlay(0);  // nothing runs, but the next one is taken as a pause
    EXPECT_TRUE(scripts.ran.empty());
  }
  TestPlatform installed(kQuickTimeInstalled);
  RecordingScripts scripts;
  setMediaPlay(0);
  setMediaPlay(0);
  EXPECT_EQ(scripts.Names(),
            (std::vector<std::string>{"PlayerPlay.QuickTime.Pause", "PlayerPlay.QuickTime.Play"}));
  // The three guesses are independent.
  ResetPlayerStateGuesses();
  scripts.ran.clear();
  MediaPlay();      // generic guess -> paused
  setMaxPlayer(0);  // full-screen guess -> presenting
  setMediaPlay(0);  // player guess still at its start: play
  EXPECT_EQ(scripts.Names(),
            (std::vector<std::string>{"MediaPlay.QuickTime.Pause", "PlayerMax.QuickTime",
                                      "PlayerPlay.QuickTime.Play"}));
}

}  // namespace
}  // namespace hovra::actions
