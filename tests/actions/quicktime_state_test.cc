// QuickTime's play/pause and full-screen commands alternate on guesses the server keeps
// for the whole process; these follow the guesses across installed and missing players.
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

TEST_F(QuickTimeGuesses, GenericPlayPausesFirstThenAlternatesOnlyWhileInstalled) {
  {
    TestPlatform missing;
    RecordingScripts scripts;
    MediaPlay();
    MediaPlay();
    MediaPlay();
    EXPECT_TRUE(scripts.ran.empty());
  }
  TestPlatform installed(kQuickTimeInstalled);
  RecordingScripts scripts;
  MediaPlay();
  MediaPlay();
  MediaPlay();
  EXPECT_EQ(scripts.Names(),
            (std::vector<std::string>{"MediaPlay.QuickTime.Pause", "MediaPlay.QuickTime.Play",
                                      "MediaPlay.QuickTime.Pause"}));
}

TEST_F(QuickTimeGuesses, PlayerPlayFlipsEvenWhenQuickTimeIsMissing) {
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
}

TEST_F(QuickTimeGuesses, PlayerMaxPresentsThenLeavesWithOptionEscape) {
  const testing::Lines leave = {
      R"({"kind":"key","code":53,"down":true,"source":"hid","flags":524288})",
      R"({"kind":"key","code":53,"down":false,"source":"hid","flags":524288})"};
  {
    TestPlatform missing;
    setMaxPlayer(0);  // no script, but full screen is assumed
    EXPECT_TRUE(missing.Take().empty());
    setMaxPlayer(0);
    EXPECT_EQ(missing.Take(), leave);
  }
  TestPlatform installed(kQuickTimeInstalled);
  setMaxPlayer(0);
  EXPECT_EQ(
      installed.Take(),
      testing::Lines(
          {R"({"kind":"script","name":"PlayerMax.QuickTime","source":"tell application \"QuickTime Player\" to present front document\n"})"}));
  setMaxPlayer(0);
  EXPECT_EQ(installed.Take(), leave);
}

TEST_F(QuickTimeGuesses, TheThreeGuessesAreIndependent) {
  TestPlatform installed(kQuickTimeInstalled);
  RecordingScripts scripts;
  MediaPlay();      // generic guess -> paused
  setMaxPlayer(0);  // full-screen guess -> presenting
  setMediaPlay(0);  // player guess still at its start: play
  EXPECT_EQ(scripts.Names(),
            (std::vector<std::string>{"MediaPlay.QuickTime.Pause", "PlayerMax.QuickTime",
                                      "PlayerPlay.QuickTime.Play"}));
}

TEST(VlcPlay, PrintsAppPathWhetherOrNotVlcIsInstalled) {
  for (const char* sim : {"{}", R"({"installed":{"org.videolan.vlc":"/Applications/VLC.app"}})"}) {
    TestPlatform platform(sim);
    ::testing::internal::CaptureStderr();
    setMediaPlay(1);
    EXPECT_TRUE(::testing::internal::GetCapturedStderr().ends_with(" hovra-server: appPath vlc\n"))
        << sim;
  }
}

TEST(GenericMediaScripts, VlcNextIsTheCompleteFrontmostScript) {
  TestPlatform platform(R"({"installed":{"org.videolan.vlc":"/Applications/VLC.app"}})");
  RecordingScripts scripts;
  MediaNext();
  ASSERT_EQ(scripts.ran.size(), 1u);
  EXPECT_EQ(scripts.ran[0].name, "MediaNext.VLC");
  EXPECT_EQ(scripts.ran[0].source,
            "tell application \"System Events\"\n set frontmostProcess to name of first process "
            "where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application "
            "\"VLC\" to next\n end if\nend tell\n");
}

}  // namespace
}  // namespace hovra::actions
