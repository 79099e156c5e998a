// An address from the network stays one intact string literal in the script, or nothing runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "actions/system_actions.h"
#include "actions/url_policy.h"
#include "tests/actions/recording_scripts.h"
#include "tests/support/test_platform.h"

namespace hovra::actions {
namespace {

using ::testing::HasSubstr;
using testing::RecordingScripts;
using testing::TestPlatform;

constexpr const char* kBothBrowsers =
    R"({"installed":{"com.apple.Safari":"/Applications/Safari.app",)"
    R"("com.google.Chrome":"/Applications/Google Chrome.app"}})";

void Open(const std::string& url) {
  BrowserNewURL(reinterpret_cast<const unsigned char*>(url.c_str()));
}

// The address as the script must carry it: one string literal, backslashes and quotes escaped.
std::string Literal(const std::string& url) {
  std::string out = "{URL:\"";
  for (char c : url) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"}";
}

TEST(BrowserNewURL, QuotesAndBackslashesCannotLeaveTheStringLiteral) {
  TestPlatform platform(kBothBrowsers);
  RecordingScripts scripts;
  for (const std::string& url :
       {std::string(R"(https://x"}) & (do shell script "touch /tmp/owned") & ({URL:"y)"),
        std::string(R"(https://ends with a backslash\)"),
        std::string(R"(https://\" already escaped \\")"),
        std::string("https://caf\xC3\xA9.example/?q=a%20b&x=1")}) {
    SCOPED_TRACE(url);
    scripts.ran.clear();
    Open(url);
    ASSERT_EQ(scripts.Names(), (testing::Lines{"BrowserNewURL.Safari", "BrowserNewURL.Chrome"}));
    EXPECT_TRUE(scripts.ran[0].source.ends_with(
        Literal(url) + ")\n       end tell\n   end tell\n   end if\nend tell"));
    EXPECT_TRUE(scripts.ran[1].source.ends_with(
        Literal(url) + "\n       end tell\n     end tell\n    end if\nend tell"));
    EXPECT_EQ(scripts.ran[0].argument, url);
  }
}

// Web pages only, and never an address holding a control byte.
TEST(BrowserNewURL, OpensWebPagesOnlyAndNeverWithAControlByte) {
  TestPlatform platform(kBothBrowsers);
  RecordingScripts scripts;
  ResetRefusalLogForTesting();
  ::testing::internal::CaptureStderr();
  for (const char* url :
       {"file:///etc/passwd", "javascript:alert(1)", "https:", "http:/x", " https://example.com/",
        "", "https://a\rb", "https://tab\there", "https://\x1b[2J", "https://del\x7f"}) {
    Open(url);
    EXPECT_TRUE(scripts.ran.empty()) << "ran for \"" << url << "\"";
  }
  BrowserNewURL(nullptr);
  EXPECT_TRUE(scripts.ran.empty());
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(log,
              HasSubstr(R"(browser openurl: refused "file:///etc/passwd": only http and https)"));
  for (const char* url : {"http://example.com/", "HTTPS://Example.com/x", "hTTp://a"}) {
    scripts.ran.clear();
    Open(url);
    EXPECT_EQ(scripts.ran.size(), 2u) << url;
  }
}

TEST(BrowserNewURL, RunsOnlyForInstalledBrowsers) {
  TestPlatform platform(R"({"installed":{"com.apple.Safari":"/Applications/Safari.app"}})");
  RecordingScripts scripts;
  Open("https://example.com/");
  EXPECT_EQ(scripts.Names(), testing::Lines{"BrowserNewURL.Safari"});
}

}  // namespace
}  // namespace hovra::actions
