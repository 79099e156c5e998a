// Power commands pending until the timer; QuickTime's guesses kept per process.
#include "actions/power.h"

#include <gtest/gtest.h>

#include "actions/media_players.h"
#include "tests/actions/recording_scripts.h"
#include "tests/support/test_platform.h"

namespace hovra::actions {
namespace {

using testing::Lines;
using testing::RecordingScripts;
using testing::TestPlatform;

class PendingPower : public ::testing::Test {
 protected:
  void TearDown() override { CarryOutPendingPowerActions(); }  // leave nothing pending

  TestPlatform platform_;
};

// Repeats within a tick are merged (the command cases send each twice).
TEST_F(PendingPower, CommandsWaitForTheTimerAndRunInAFixedOrder) {
  SleepSystem();
  Logoff();
  Reboot();
  Poweroff();
  Shutdown();
  EXPECT_TRUE(platform_.Take().empty()) << "power commands wait for the timer";
  RecordingScripts scripts;
  CarryOutPendingPowerActions();
  EXPECT_EQ(scripts.Names(), (Lines{"Shutdown", "PowerOff", "Reboot", "Logoff", "Sleep"}));
  EXPECT_FALSE(s_toSleep.load());
  CarryOutPendingPowerActions();  // the next tick finds nothing left
  EXPECT_EQ(scripts.ran.size(), 5u);
}

TEST_F(PendingPower, ClearsAFlagOnlyAfterItsScriptSoARepeatDuringItMerges) {
  RecordingScripts scripts;
  scripts.onRun = [](const testing::RanScript& script) {
    if (script.name == "Shutdown") {
      EXPECT_TRUE(s_toShutdown.load()) << "still pending while its script runs";
      Shutdown();     // asked again while the question is open: merged into this one
      SleepSystem();  // a later flag raised meanwhile is carried out in the same tick
    }
  };
  Shutdown();
  CarryOutPendingPowerActions();
  EXPECT_EQ(scripts.Names(), (Lines{"Shutdown", "Sleep"}));
  EXPECT_FALSE(s_toShutdown.load());
  EXPECT_FALSE(s_toSleep.load());
}

constexpr const char* kQuickTimeInstalled =
    R"({"installed":{"com.apple.QuickTimePlayerX":"/System/Applications/QuickTime Player.app"}})";

TEST(QuickTimeGuesses, PlayerPlayFlipsEvenWhenQuickTimeIsMissingAndEachGuessIsItsOwn) {
  ResetPlayerStateGuesses();
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
  EXPECT_EQ(scripts.Names(), (Lines{"PlayerPlay.QuickTime.Pause", "PlayerPlay.QuickTime.Play"}));
  // The three guesses are independent.
  ResetPlayerStateGuesses();
  scripts.ran.clear();
  MediaPlay();      // generic guess -> paused
  setMaxPlayer(0);  // full-screen guess -> presenting
  setMediaPlay(0);  // player guess still at its start: play
  EXPECT_EQ(scripts.Names(), (Lines{"MediaPlay.QuickTime.Pause", "PlayerMax.QuickTime",
                                    "PlayerPlay.QuickTime.Play"}));
  ResetPlayerStateGuesses();
}

}  // namespace
}  // namespace hovra::actions
