#include "app/shell_commands.h"

#include <gtest/gtest.h>

#include "app/address_list.h"
#include "app/password.h"
#include "platform/posix/file_settings_store.h"
#include "tests/app/shell_test_support.h"
#include "tests/support/test_platform.h"

namespace hovra::app {
namespace {

TEST(PasswordCommand, OnDrawsShowReportsOffKeepsThePin) {
  testing::TestPlatform platform;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunPasswordCommand("show"), kExitOk);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "PIN: none drawn yet\nPassword protection: off\n");

  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunPasswordCommand("on"), kExitOk);
  std::string pin = std::to_string(platform.Settings().GetInteger("password"));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "PIN: " + pin + "\nPassword protection: on\n");
  EXPECT_TRUE(isPasswordProtection());

  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunPasswordCommand("off"), kExitOk);
  EXPECT_EQ(RunPasswordCommand("sideways"), kExitUsage);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "PIN: " + pin + "\nPassword protection: off\n");
}

TEST(PasswordCommand, ASaveThatFailsIsSaidSoAndNeverClaimedDone) {
  testing::TestPlatform platform;
  testing::TempDir temp;
  testing::WriteFile(temp.path() / "file", "a file where a folder should be");
  std::filesystem::path settingsFile = temp.path() / "file" / "settings.json";
  platform::posix::FileSettingsStore store(settingsFile);
  testing::ScopedServices use(&store);
  const std::string why =
      "the settings file " + settingsFile.string() + " could not be written (Not a directory)";

  PasswordChange change = SetPasswordProtection(true);
  EXPECT_TRUE(change.pin.has_value());
  EXPECT_FALSE(change.saved);
  EXPECT_EQ(change.error, why);

  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunPasswordCommand("on"), kExitFailed);
  EXPECT_EQ(RunPasswordCommand("off"), kExitFailed);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Password protection could not be turned on: " + why + ".\n" +
                "Password protection could not be turned off: " + why + ".\n");
}

TEST(ShellCommand, RecognisesTheSubcommandsAndListsAddressesButTheIpv4Loopback) {
  testing::TestPlatform platform(R"({"addresses":["127.0.0.1","10.1.2.3","::1","127.0.0.2"]})");
  EXPECT_EQ(FormatAddressList({"127.0.0.1"}), "N/A");
  EXPECT_TRUE(IsShellCommand("check-update"));
  EXPECT_FALSE(IsShellCommand("--port"));
  using Args = std::vector<std::string>;
  for (const Args& wrong : {Args{"password"}, Args{"addresses", "now"}, Args{"reboot"}})
    EXPECT_EQ(RunShellCommand(wrong, {}), kExitUsage) << wrong[0];
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(RunShellCommand(Args{"addresses"}, {}), kExitOk);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "  10.1.2.3\n  ::1\n  127.0.0.2\n");
}

}  // namespace
}  // namespace hovra::app
