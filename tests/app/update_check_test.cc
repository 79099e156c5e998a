#include "app/update_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <thread>

#include "app/shell_commands.h"
#include "app/version_compare.h"
#include "tests/app/shell_test_support.h"
#include "tests/support/silent_http_server.h"
#include "tests/support/socket_client.h"

namespace hovra::app {
namespace {

using testing::SilentHttpServer;

std::string HttpAnswer(const std::string& body, const char* status = "200 OK") {
  return std::string("HTTP/1.1 ") + status +
         "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string ClosedPortUrl() {
  return "http://127.0.0.1:" + std::to_string(testing::FreePort(false)) + "/";
}

struct UpdateCheckTest : testing::UiTest {
  void SetUp() override { ::setenv("no_proxy", "127.0.0.1", 1); }
};

// A check the user asked for (notify) or one in the background, against each answer.
TEST_F(UpdateCheckTest, OnlyANewerVersionIsHandedToTheTimerAndTheUserHearsOfNoneOnce) {
  using enum UpdateOutcome;
  struct Case {
    const char* what;
    std::optional<std::string> answer;  // nothing: a closed port
    const char* running;
    UpdateOutcome outcome;
    bool notify = true;
    const char* needUpdate = "";  // "": none
  };
  const Case cases[] = {
      {"newer", HttpAnswer(R"({"ver":"1.10","notes":"x"})"), "1.9", kNewer, true, "1.10"},
      {"equal, background", HttpAnswer(R"({"ver":"2.0"})"), "2.0", kNotNewer, false},
      {"older", HttpAnswer(R"({"ver":"1.9"})"), "2.0", kNotNewer},
      {"no JSON", HttpAnswer("<p>gone</p>", "404 Not Found"), "1.0", kNotNewer},
      {"a number", HttpAnswer(R"({"ver":3})"), "1.0", kNotNewer},
      {"no object", HttpAnswer(R"(["ver"])"), "1.0", kNotNewer},
      {"no version", HttpAnswer("{}"), "1.0", kNotNewer},
      {"closed without an answer", "", "1.0", kFailed},
      {"nobody listening", std::nullopt, "1.0", kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<SilentHttpServer> server;
    if (c.answer) server.emplace(*c.answer);
    UpdateChecker checker(server ? server->Url() : ClosedPortUrl(), c.running);
    UpdateCheckResult result = checker.CheckNow(c.notify);
    EXPECT_EQ(result.outcome, c.outcome);
    if (c.outcome == kFailed) {
      EXPECT_FALSE(result.error.empty());
    }
    EXPECT_EQ(checker.TakeNeedUpdate().value_or(""), c.needUpdate);
    EXPECT_EQ(checker.TakeNeedUpdate(), std::nullopt) << "handed over once";
    EXPECT_EQ(checker.TakeNoticeNoNewVersion(), c.notify && c.outcome == kNotNewer);
    EXPECT_FALSE(checker.TakeNoticeNoNewVersion()) << "told once";
    if (c.outcome == kNewer) {
      EXPECT_EQ(server->Request().rfind("GET /version.json HTTP/1.1\r\n", 0), 0u);
    }
  }
}

TEST_F(UpdateCheckTest, TheBackgroundFormTellsTooButNotWithoutAnAddressOrAWebAddress) {
  SilentHttpServer server(HttpAnswer(R"({"ver":"1.9"})"));
  UpdateChecker background(server.Url(), "2.0");
  background.edownloadVersion(true);
  background.WaitForChecks();
  EXPECT_TRUE(background.TakeNoticeNoNewVersion());
  EXPECT_EQ(background.TakeNeedUpdate(), std::nullopt);

  UpdateChecker checker("", "1.0");
  EXPECT_FALSE(checker.Configured());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(checker.CheckNow(true).outcome, UpdateOutcome::kNotConfigured);
  checker.edownloadVersion(true);  // the start-up form
  checker.WaitForChecks();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // no request, nothing to log
  EXPECT_FALSE(checker.TakeNoticeNoNewVersion());
  EXPECT_EQ(checker.TakeNeedUpdate(), std::nullopt);

  testing::WriteFile(temp_.path() / "v.json", R"({"ver":"9.9"})");
  UpdateChecker file("file://" + (temp_.path() / "v.json").string(), "1.0");
  EXPECT_EQ(file.CheckNow(true).outcome, UpdateOutcome::kFailed);
}

TEST_F(UpdateCheckTest, UpdateDialogOpensTheInstallerOnlyOnOk) {
  ui_.answer = 1001;  // "Cancel"
  showUpdatedialog("1.10");
  EXPECT_TRUE(platform_.Take().empty());
  ui_.answer = 1000;  // "OK"
  showUpdatedialog("1.10");
  ASSERT_EQ(ui_.alerts.size(), 2u);
  EXPECT_EQ(ui_.alerts[1].message,
            "Hovra Server new version 1.10 found, please download and install it.");
  EXPECT_EQ(ui_.alerts[1].buttons, (std::vector<std::string>{"OK", "Cancel"}));
  EXPECT_EQ(platform_.Take(), testing::Lines({std::string(R"({"kind":"openURL","url":")") +
                                              kInstallerPackageUrl + "\"}"}));
}

TEST_F(UpdateCheckTest, CheckUpdateCommandPrintsTheOutcome) {
  SilentHttpServer server(HttpAnswer(R"({"ver":"1.0.1"})"));
  struct Case {
    std::string url;  // "": the build's own, when it has none
    int code;
    std::string out;
    bool whole = true;  // else only how it starts
  };
  const Case cases[] = {
      {server.Url(), kExitOk,
       "Hovra Server new version 1.0.1 found, please download and install it.\n" +
           std::string(kInstallerPackageUrl) + "\n"},
      {ClosedPortUrl(), kExitFailed, "The update check failed: ", false},
      {"", kExitFailed, std::string(kNoUpdateAddressText) + "\n"},
  };
  for (const Case& c : cases) {
    if (c.url.empty() && *kUpdateEndpointUrl != '\0') continue;  // a build with an address
    SCOPED_TRACE(c.out);
    ShellCommandOptions options{.updateUrl = c.url, .runningVersion = "1.0.0", .httpLimits = {}};
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunCheckUpdateCommand(options), c.code);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(c.whole ? out : out.substr(0, c.out.size()), c.out);
  }
}

TEST_F(UpdateCheckTest, AHangingCheckIsCancelledAndStoppingLeavesNoneRunning) {
  SilentHttpServer silent;
  HttpCancel cancel;
  std::string error;
  std::optional<std::string> body;
  std::thread transfer([&] { body = HttpGet(silent.Url(), HttpLimits{}, error, &cancel); });
  ASSERT_TRUE(silent.WaitForRequest(std::chrono::seconds(5)));
  cancel.Cancel();
  transfer.join();
  EXPECT_FALSE(body);
  EXPECT_EQ(error, "cancelled") << "not the end of the 30 s the transfer may take";
  EXPECT_FALSE(HttpGet(silent.Url(), HttpLimits{}, error, &cancel)) << "stays cancelled";

  SilentHttpServer another;  // the checker's background form
  UpdateChecker checker(another.Url(), "1.0");
  checker.edownloadVersion(true);
  ASSERT_TRUE(another.WaitForRequest(std::chrono::seconds(5)));
  EXPECT_TRUE(checker.StopChecks(std::chrono::seconds(2)));
  EXPECT_FALSE(checker.TakeNoticeNoNewVersion()) << "a cancelled check tells nothing";
  EXPECT_FALSE(checker.TakeNeedUpdate());
}

TEST(CompareVersions, DigitRunsByValuePrefixesFirstOtherUnitsByUtf16Value) {
  constexpr VersionOrder kNewer = VersionOrder::kDescending;
  constexpr VersionOrder kOlder = VersionOrder::kAscending;
  constexpr VersionOrder kSame = VersionOrder::kSame;
  EXPECT_EQ(CompareVersions("1.10", "1.9"), kNewer);
  EXPECT_EQ(CompareVersions("1.9", "1.10"), kOlder);
  EXPECT_EQ(CompareVersions("2.0", "2.0"), kSame);
  EXPECT_EQ(CompareVersions("1.01", "1.1"), kSame);
  EXPECT_EQ(CompareVersions("2.0", "1.9"), kNewer);
  EXPECT_EQ(CompareVersions("10", "9"), kNewer);
  // Runs beyond 64 bits still compare by value.
  EXPECT_EQ(CompareVersions("1.100000000000000000000", "1.99999999999999999999"), kNewer);
  EXPECT_EQ(CompareVersions("1.0000000000000000000000007", "1.7"), kSame);
  EXPECT_EQ(CompareVersions("2.0", "2"), kNewer);
  EXPECT_EQ(CompareVersions("2", "2.0"), kOlder);
  EXPECT_EQ(CompareVersions("", "1"), kOlder);
  EXPECT_EQ(CompareVersions("", ""), kSame);
  EXPECT_EQ(CompareVersions("1.0b", "1.0a"), kNewer);
  EXPECT_EQ(CompareVersions("1.a", "1.1"), kNewer);  // 'a' after '1'
  EXPECT_EQ(CompareVersions("1-2", "1.2"), kOlder);  // '-' before '.'
  // U+FF21 is one unit; U+1F600 begins with the surrogate D83D, which is smaller.
  EXPECT_EQ(CompareVersions("1\xEF\xBC\xA1", "1\xF0\x9F\x98\x80"), kNewer);
}

}  // namespace
}  // namespace hovra::app
