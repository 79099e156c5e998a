// Notification lines and the frontmost-application report texts.
#include "server/reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "server/notice_hand_over.h"

namespace hovra {
namespace {

using ::testing::FieldsAre;
using ::testing::Optional;

TEST(NotifyMsg, ShowsEachTextOnceWhateverItsAddressAndOnlyWithBothMarkers) {
  HandleNotifyMsg("Msg||Hello once||https://example.test/a");
  EXPECT_THAT(TakeNotice(), Optional(FieldsAre("Hello once", "https://example.test/a")));
  EXPECT_FALSE(TakeNotice()) << "taken notices do not come back";
  HandleNotifyMsg("Msg||Hello once||https://example.test/a");
  HandleNotifyMsg("Msg||Hello once||other");
  HandleNotifyMsg("Msg||Hello without end");
  HandleNotifyMsg("Msg|Hello|url");
  EXPECT_FALSE(TakeNotice());
  EXPECT_FALSE(g_showMsg.load());
}

TEST(NotifyMsg, CutsOverLongTextsAtACharacterBoundary) {
  std::string text(kNoticeMessageBytes - 1, 'a');
  text += "\xC3\xA9\xC3\xA9";  // an e-acute would straddle the limit
  HandleNotifyMsg(("Msg||" + text + "||https://" + std::string(3000, 'u')).c_str());
  EXPECT_THAT(TakeNotice(), Optional(FieldsAre(std::string(kNoticeMessageBytes - 3, 'a') + "...",
                                               ::testing::SizeIs(kNoticeUrlBytes))));
}

// Links pass the browser's web-address rule; only here does one holding a control byte reach it.
TEST(NotifyMsg, ShowsControlsAsTextAndLinksOnlyToWebPages) {
  struct Case {
    std::string line;
    std::string message;
    std::string url;
  };
  const Case cases[] = {
      {"Msg||A rather long first message||", "A rather long first message", ""},
      {"Msg||Short||\r", "Short", ""},  // nothing left of the longer text; no address
      {"Msg||\x1b]0;owned\x07Hi\x1b[2J||https://example.test/", "\\x1b]0;owned\\x07Hi\\x1b[2J",
       "https://example.test/"},
      {"Msg||file link||file:///etc/passwd", "file link", ""},
      {"Msg||escaped link||https://x\x1b[2J", "escaped link", ""},
      {"Msg||Web link||HTTP://Example.test/x\r", "Web link", "HTTP://Example.test/x"},
  };
  for (const Case& c : cases) {
    HandleNotifyMsg(c.line.c_str());
    EXPECT_THAT(TakeNotice(), Optional(FieldsAre(c.message, c.url))) << c.line;
  }
}

TEST(NotifyMsg, RemembersOnlyTheMostRecentTextsSoNoClientGrowsTheServer) {
  HandleNotifyMsg("Msg||oldest text||");
  ASSERT_TRUE(TakeNotice());
  for (size_t i = 0; i < kRememberedNotices; ++i)
    HandleNotifyMsg(("Msg||filler " + std::to_string(i) + "||").c_str());
  TakeNotice();
  HandleNotifyMsg(("Msg||filler " + std::to_string(kRememberedNotices - 1) + "||").c_str());
  EXPECT_FALSE(TakeNotice()) << "a recent text is still remembered";
  HandleNotifyMsg("Msg||oldest text||");
  EXPECT_TRUE(TakeNotice()) << "the oldest text was forgotten to make room";
}

}  // namespace
}  // namespace hovra
