#include "actions/power.h"

#include <gtest/gtest.h>

#include "tests/actions/recording_scripts.h"
#include "tests/support/test_platform.h"

namespace hovra::actions {
namespace {

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
  EXPECT_EQ(scripts.Names(),
            (std::vector<std::string>{"Shutdown", "PowerOff", "Reboot", "Logoff", "Sleep"}));
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
  EXPECT_EQ(scripts.Names(), (std::vector<std::string>{"Shutdown", "Sleep"}));
  EXPECT_FALSE(s_toShutdown.load());
  EXPECT_FALSE(s_toSleep.load());
}

}  // namespace
}  // namespace hovra::actions
