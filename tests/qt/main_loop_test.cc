// Qt's event loop as the main queue, and modal alerts.
#include "platform/qt/alert.h"
#include "platform/qt/qt_main_loop.h"
#include "tests/qt/tray_fixture.h"
#include "tests/support/desktop/main_loop_cases.h"

namespace hovra::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MainLoopCases, platform::qt::QtMainLoop);

namespace {

using AlertsTest = TrayFixture;

TEST_F(AlertsTest, EachButtonAndEscapeGiveTheirAnswer) {
  const std::pair<const char*, int> answers[] = {
      {"Yes", 1000}, {"Maybe", 1001}, {"No", 1002}, {"", 1002}};  // "": Escape
  for (const auto& [click, expected] : answers) {
    SeenAlert seen;
    AnswerNextAlert(click, seen);
    EXPECT_EQ(ui_.RunAlert("Go on?", "It matters.", {"Yes", "Maybe", "No"}), expected) << click;
    EXPECT_EQ(seen.title, "Hovra Server");
    EXPECT_EQ(seen.text, "Go on?");
    EXPECT_EQ(seen.informative, "It matters.");
    EXPECT_EQ(seen.buttons, (QStringList{"Yes", "Maybe", "No"}));
  }
}

TEST(QtMainLoop, TicksWaitWhileAnAlertIsOpen) {
  platform::qt::QtMainLoop loop;
  int ticks = 0;
  int ticksWhileOpen = -1;
  SeenAlert seen;
  loop.StartRepeatingTimer(std::chrono::milliseconds(5), [&] {
    if (++ticks != 2) return;
    QTimer::singleShot(150, [&] {  // thirty periods later
      ticksWhileOpen = ticks;
      AnswerNextAlert("OK", seen);
    });
    platform::qt::RunAlert("question", "", {"OK"});  // opened by a tick, as the update alert is
    loop.Quit();
  });
  loop.Run();
  EXPECT_EQ(ticksWhileOpen, 2);
  EXPECT_EQ(seen.text, "question");
}

}  // namespace
}  // namespace hovra::testing
