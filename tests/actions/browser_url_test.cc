// Addresses come from the network: whatever they hold, the script must carry them as one
// intact string literal, or not run at all.
#include <gtest/gtest.h>

#include <string>

#include "actions/system_actions.h"
#include "actions/url_policy.h"
#include "tests/actions/recording_scripts.h"
#include "tests/support/test_platform.h"

namespace hovra::actions {
namespace {

using testing::RecordingScripts;
using testing::TestPlatform;

constexpr const char* kBothBrowsers =
    R"({"installed":{"com.apple.Safari":"/Applications/Safari.app",)"
    R"("com.google.Chrome":"/Applications/Google Chrome.app"}})";

void Open(const std::string& url) {
  BrowserNewURL(reinterpret_cast<const unsigned char*>(url.c_str()));
}

// Reads the script string literal that starts at `source[at]` (just after its opening
// quote) the way the script language does; `end` receives the index of its closing quote.
std::string ReadLiteral(const std::string& source, size_t at, size_t& end) {
  std::string value;
  for (size_t i = at; i < source.size(); ++i) {
    if (source[i] == '\\' && i + 1 < source.size()) {
      value += source[++i];
    } else if (source[i] == '"') {
      end = i;
      return value;
    } else {
      value += source[i];
    }
  }
  end = std::string::npos;
  return value;
}

// The address literal must hold exactly `url`, and what follows it must be the script's
// own text, untouched.
void ExpectCarriedIntact(const testing::RanScript& script, const std::string& url,
                         const std::string& tail) {
  const std::string opening = "{URL:\"";
  const size_t start = script.source.find(opening);
  ASSERT_NE(start, std::string::npos) << script.name;
  size_t end = 0;
  EXPECT_EQ(ReadLiteral(script.source, start + opening.size(), end), url) << script.name;
  ASSERT_NE(end, std::string::npos) << script.name;
  EXPECT_EQ(script.source.substr(end + 1), tail) << script.name;
  EXPECT_EQ(script.argument, url) << script.name;
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
    ASSERT_EQ(scripts.Names(),
              (std::vector<std::string>{"BrowserNewURL.Safari", "BrowserNewURL.Chrome"}));
    ExpectCarriedIntact(scripts.ran[0], url,
                        "})\n       end tell\n   end tell\n   end if\nend tell");
    ExpectCarriedIntact(scripts.ran[1], url,
                        "}\n       end tell\n     end tell\n    end if\nend tell");
  }
}

// Web pages only, and never an address holding a control byte.
TEST(BrowserNewURL, OpensWebPagesOnlyAndNeverWithAControlByte) {
  TestPlatform platform(kBothBrowsers);
  RecordingScripts scripts;
  ResetRefusalLogForTesting();
  ::testing::internal::CaptureStderr();
  for (const char* url :
       {"file:///etc/passwd", "javascript:alert(document.cookie)", "smb://server/share",
        "ftp://example.com/", "https:", "http:/x", " https://example.com/", "x-custom://run", "",
        "https://a\rb", "https://a\nb", "https://tab\there", "https://\x1b[2J", "https://del\x7f",
        "https://\x01"}) {
    Open(url);
    EXPECT_TRUE(scripts.ran.empty()) << "ran for \"" << url << "\"";
  }
  BrowserNewURL(nullptr);
  EXPECT_TRUE(scripts.ran.empty());
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find(R"(browser openurl: refused "file:///etc/passwd": only http and https)"),
            std::string::npos)
      << log;
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
  EXPECT_EQ(scripts.Names(), (std::vector<std::string>{"BrowserNewURL.Safari"}));
}

}  // namespace
}  // namespace hovra::actions
