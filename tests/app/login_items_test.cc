#include "app/login_items.h"

#include <gtest/gtest.h>

#include "app/shell_commands.h"
#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

using testing::ReadFile;
using testing::SortedNames;
using testing::WriteFile;

namespace fs = std::filesystem;

std::string EntryFor(const std::string& program, bool hidden = false) {
  return "[Desktop Entry]\nType=Application\nName=X\nExec=" + DesktopExecValue(program) + "\n" +
         (hidden ? "Hidden=true\n" : "");
}

struct LoginItemsTest : testing::UiTest {
  LoginItemsTest() {
    fs::create_directories(bin_);
    WriteFile(program_, "");
  }
  fs::path autostart_ = temp_.path() / "config" / "autostart";
  fs::path bin_ = temp_.path() / "my bin";
  fs::path program_ = bin_ / "hovra-server";
  LoginItems items_{autostart_, program_};
};

TEST_F(LoginItemsTest, ToggleAddsAStartHiddenEntryThenRemovesIt) {
  EXPECT_FALSE(items_.isAutoRun());
  EXPECT_EQ(items_.setLaunchOnLogin(), true);
  EXPECT_TRUE(items_.isAutoRun());
  std::vector<std::string> names = SortedNames(autostart_);
  ASSERT_EQ(names.size(), 1u);
  std::string text = ReadFile(autostart_ / names[0]);
  std::string resolved = fs::weakly_canonical(program_).string();
  EXPECT_NE(text.find("Exec=\"" + resolved + "\" --hidden\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Hidden="), std::string::npos);

  EXPECT_EQ(items_.setLaunchOnLogin(), false);
  EXPECT_FALSE(items_.isAutoRun());
  EXPECT_TRUE(SortedNames(autostart_).empty());
  EXPECT_EQ(ui_.marks, (std::vector<bool>{true, false}));
}

TEST_F(LoginItemsTest, ASwitchedOffEntryReadsOffAndOnSwitchesItBackOn) {
  fs::create_directories(autostart_);
  std::string off = EntryFor(program_.string()) + "X-GNOME-Autostart-enabled=false\n";
  WriteFile(autostart_ / "mine.desktop", off);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunAutostartCommand("status", items_), kExitOk);
  EXPECT_EQ(RunAutostartCommand("on", items_), kExitOk);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Auto Start: off\nAuto Start: on\n");
  EXPECT_EQ(SortedNames(autostart_), std::vector<std::string>{"mine.desktop"}) << "no second entry";
  std::string text = ReadFile(autostart_ / "mine.desktop");
  EXPECT_NE(text.find("X-GNOME-Autostart-enabled=true\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Autostart-enabled=false"), std::string::npos) << text;
}

TEST_F(LoginItemsTest, FailuresAreToldInWordsAndNeverClaimedDone) {
  fs::create_directories(autostart_.parent_path());
  WriteFile(autostart_, "a file where the folder should be");
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(items_.isAutoRun());
  EXPECT_EQ(RunAutostartCommand("on", items_), kExitFailed);
  EXPECT_TRUE(ui_.marks.empty()) << "nothing changed";
  LoginItems nowhere(temp_.path() / "autostart2", fs::path());
  EXPECT_EQ(RunAutostartCommand("on", nowhere), kExitFailed);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Auto Start could not be turned on: the autostart folder " + autostart_.string() +
                " cannot be read.\n"
                "Auto Start could not be turned on: this program's own location is unknown.\n");
}

TEST_F(LoginItemsTest, OnlyEnabledEntriesForThisProgramCountAndOffRemovesTheFirst) {
  fs::create_directories(autostart_);
  std::string moved = EntryFor((temp_.path() / "old" / "hovra-server").string());
  WriteFile(autostart_ / "0-old.desktop", moved);
  WriteFile(autostart_ / "1-disabled.desktop", EntryFor(program_.string(), /*hidden=*/true));
  EXPECT_FALSE(items_.isAutoRun());
  WriteFile(autostart_ / "a.desktop", EntryFor(program_.string()));
  // The same program reached through a link, and written by hand without quotes.
  fs::create_symlink(bin_, temp_.path() / "link");
  WriteFile(autostart_ / "b.desktop",
            "[Desktop Entry]\nExec=" + (temp_.path() / "link" / "hovra-server").string() + "\n");
  ASSERT_EQ(temp_.path().string().find(' '), std::string::npos) << "the unquoted entry needs it";

  EXPECT_EQ(items_.setLaunchOnLogin(), false);
  EXPECT_EQ(SortedNames(autostart_),
            (std::vector<std::string>{"0-old.desktop", "1-disabled.desktop", "b.desktop"}));
  EXPECT_TRUE(items_.isAutoRun());  // still starts at login: the next start says so
  EXPECT_EQ(ReadFile(autostart_ / "0-old.desktop"), moved);
}

TEST_F(LoginItemsTest, ExecValuesSurviveQuotingAndEscaping) {
  fs::create_directories(autostart_);
  for (std::string name : {"a b", "100%/\"q\"/$HOME/`c`/back\\slash"}) {
    fs::path program = temp_.path() / name / "hovra";
    WriteFile(autostart_ / "x.desktop", EntryFor(program.string()));
    EXPECT_TRUE(LoginItems(autostart_, program).isAutoRun()) << ReadFile(autostart_ / "x.desktop");
  }
  EXPECT_EQ(DesktopExecProgram("/usr/bin/thing --flag %U"), "/usr/bin/thing");
  EXPECT_EQ(DesktopExecProgram("\"/never/closed"), std::nullopt);
}

}  // namespace
}  // namespace hovra::app
