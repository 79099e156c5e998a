// Qt's event loop as the main queue (the shared cases cover waiters at and after its end).
#include "platform/qt/alert.h"
#include "platform/qt/qt_main_loop.h"
#include "tests/qt/tray_fixture.h"
#include "tests/support/desktop/main_loop_cases.h"

namespace hovra::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MainLoopCases, platform::qt::QtMainLoop);
}  // namespace hovra::testing

namespace hovra::platform::qt {
namespace {

TEST(QtMainLoop, TicksWaitWhileAnAlertIsOpen) {
  QtMainLoop loop;
  int ticks = 0;
  int ticksWhileOpen = -1;
  testing::SeenAlert seen;
  loop.StartRepeatingTimer(std::chrono::milliseconds(5), [&] {
    if (++ticks != 2) return;
    QTimer::singleShot(150, [&] {  // thirty periods later
      ticksWhileOpen = ticks;
      testing::AnswerNextAlert("OK", seen);
    });
    RunAlert("question", "", {"OK"});  // opened by a tick, as the update alert is
    loop.Quit();
  });
  loop.Run();
  EXPECT_EQ(ticksWhileOpen, 2);
  EXPECT_EQ(seen.text, "question");
}

}  // namespace
}  // namespace hovra::platform::qt
