#include "app/shell_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "app/address_list.h"
#include "app/password.h"
#include "platform/posix/file_settings_store.h"
#include "tests/app/shell_test_support.h"

namespace hovra::app {
namespace {

TEST(Pin, DrawsFourDigitsOneToNineCoveringEveryDigit) {
  bool seen[10] = {};
  for (int i = 0; i < 400; ++i) {
    std::optional<int> pin = DrawPin();
    ASSERT_TRUE(pin.has_value());
    ASSERT_TRUE(std::regex_match(std::to_string(*pin), std::regex("[1-9]{4}"))) << *pin;
    for (char c : std::to_string(*pin)) seen[c - '0'] = true;
  }
  // 1600 uniform digits: a digit never drawn would mean a biased or broken draw.
  for (int d = 1; d <= 9; ++d) EXPECT_TRUE(seen[d]) << d;
}

TEST(Pin, TheDigestIsTheMd5OfThePinMustMatchExactlyAndWrongOnesAreLoggedWithoutIt) {
  testing::TestPlatform platform;
  // Nothing drawn yet: the answer for "0", which no client derives from a PIN.
  EXPECT_EQ(md5CheckSum(), "cfcd208495d565ef66e7dff9f98764da");
  platform.Settings().SetInteger("password", 1234);
  EXPECT_EQ(md5CheckSum(), "81dc9bdb52d04dc20036dbd8313ed055");
  EXPECT_TRUE(verifyPassword("81dc9bdb52d04dc20036dbd8313ed055"));
  for (const char* wrong : {"81DC9BDB52D04DC20036DBD8313ED055", "", "1234",
                            "81dc9bdb52d04dc20036dbd8313ed055 ", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(verifyPassword(wrong)) << (wrong ? wrong : "null");
  // A new PIN applies to the very next check.
  platform.Settings().SetInteger("password", 9999);
  EXPECT_FALSE(verifyPassword("81dc9bdb52d04dc20036dbd8313ed055"));

  // A wrong answer is logged with its source, never with the PIN or a digest.
  platform.Settings().SetInteger("password", 4682);
  const std::string right = md5CheckSum();
  ResetWrongAnswerLogForTesting();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(verifyPassword("81dc9bdb52d04dc20036dbd8313ed055", {"192.168.1.9", 3}));
  EXPECT_FALSE(verifyPassword("4682", {"10.0.0.\x1b[2J", 0}));
  for (int i = 0; i < 200; ++i) verifyPassword("00000000000000000000000000000000");
  EXPECT_TRUE(verifyPassword(right.c_str()));
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("wrong PIN from 192.168.1.9 (wrong answer 3 from there)"), std::string::npos)
      << log;
  EXPECT_NE(log.find("wrong PIN from 10.0.0.\\x1b[2J\n"), std::string::npos) << log;
  EXPECT_FALSE(std::regex_search(log, std::regex("[0-9a-f]{32}"))) << log;
  EXPECT_EQ(log.find("4682"), std::string::npos) << log;
  // 202 wrong answers in a moment: a handful of lines, not one each.
  size_t lines = static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
  EXPECT_GE(lines, 2u);
  EXPECT_LE(lines, 10u) << log;
}

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
