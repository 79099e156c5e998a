// Modal alerts: texts, buttons and answers (what the application does with them: tests/app).
#include <gtest/gtest.h>

#include "tests/qt/tray_fixture.h"

namespace hovra::testing {
namespace {

struct AnswerCase {
  const char* click;  // empty: Escape
  int expected;
};

class AlertsTest : public TrayFixture {};

TEST_F(AlertsTest, EachButtonAndEscapeGiveTheirAnswer) {
  for (const AnswerCase& c : {AnswerCase{"Yes", 1000}, AnswerCase{"Maybe", 1001},
                              AnswerCase{"No", 1002}, AnswerCase{"", 1002}}) {
    SeenAlert seen;
    AnswerNextAlert(c.click, seen);
    EXPECT_EQ(ui_.RunAlert("Go on?", "It matters.", {"Yes", "Maybe", "No"}), c.expected) << c.click;
    EXPECT_EQ(seen.title, "Hovra Server");
    EXPECT_EQ(seen.text, "Go on?");
    EXPECT_EQ(seen.informative, "It matters.");
    EXPECT_EQ(seen.buttons, (QStringList{"Yes", "Maybe", "No"}));
  }
}

}  // namespace
}  // namespace hovra::testing
