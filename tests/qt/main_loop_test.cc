// Qt's event loop as the main queue: order, waiting callers, timers, GLib sources inside
// the loop, ticks held back while an alert waits, and waiters released when it ends.
#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/qt/alert.h"
#include "platform/qt/qt_main_loop.h"
#include "tests/qt/tray_fixture.h"

namespace hovra::platform::qt {
namespace {

TEST(QtMainLoop, RunsWorkFromOtherThreadsInOrderOnTheMainThreadUntilItEnds) {
  QtMainLoop loop;
  std::vector<int> order;
  std::atomic<bool> allOnMain{true};
  bool waited = false;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      loop.Post([&, i] {
        order.push_back(i);
        allOnMain = allOnMain && loop.IsMainThread();
      });
    }
    waited = loop.RunAndWait([&] { allOnMain = allOnMain && loop.IsMainThread(); });
    loop.Quit();
  });
  loop.Run();
  worker.join();
  EXPECT_TRUE(waited);
  EXPECT_EQ(order.size(), 50u) << "all posted before the wait ran before it";
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_TRUE(allOnMain);

  // After the end a waiting thread gets false at once instead of hanging.
  int late = -1;
  std::thread([&] { late = loop.RunAndWait([] { ADD_FAILURE() << "ran after the end"; }); }).join();
  EXPECT_EQ(late, 0);
}

TEST(QtMainLoop, AWaiterQueuedBehindQuitIsReleasedWithoutRunning) {
  auto loop = std::make_unique<QtMainLoop>();
  std::atomic<int> result{-1};
  std::atomic<bool> queued{false};
  std::thread waiter;
  loop->Post([&] {
    waiter = std::thread([&, queue = loop.get()] {
      queued = true;
      result = queue->RunAndWait([] { ADD_FAILURE() << "work after Quit ran"; }) ? 1 : 0;
    });
    while (!queued) std::this_thread::yield();  // its work is (about to be) queued ...
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    loop->Quit();  // ... behind the end of the loop
  });
  loop->Run();
  loop.reset();  // waits for the waiter to leave
  waiter.join();
  EXPECT_EQ(result, 0);
}

TEST(QtMainLoop, RunsTimersStartedFromAnyThreadAndGLibSources) {
  QtMainLoop loop;
  int ticks = 0;
  std::atomic<bool> delayedOnMain{false};
  bool glibOnMain = false;
  std::thread([&] {
    loop.PostDelayed(std::chrono::milliseconds(5), [&] { delayedOnMain = loop.IsMainThread(); });
    loop.StartRepeatingTimer(std::chrono::milliseconds(10), [&] {
      if (++ticks == 3) loop.Quit();
    });
  }).join();
  // The desktop backend's D-Bus and settings signals arrive as GLib sources.
  g_idle_add(
      [](gpointer seen) -> gboolean {
        *static_cast<bool*>(seen) = true;
        return G_SOURCE_REMOVE;
      },
      &glibOnMain);
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(delayedOnMain);
  EXPECT_TRUE(glibOnMain);
}

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
