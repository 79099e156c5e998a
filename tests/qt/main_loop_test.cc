// Qt's event loop as the main queue: order, waiting callers, timers, GLib sources inside
// the loop, ticks held back while an alert waits, and waiters released when it ends.
#include <glib.h>
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/qt/alert.h"
#include "platform/qt/qt_main_loop.h"
#include "tests/qt/tray_fixture.h"

namespace hovra::platform::qt {
namespace {

using namespace std::chrono_literals;

TEST(QtMainLoop, RunsPostedWorkInOrderOnTheMainThread) {
  QtMainLoop loop;
  std::vector<int> order;
  std::atomic<bool> allOnMain{true};
  std::thread poster([&] {
    for (int i = 0; i < 50; ++i) {
      loop.Post([&, i] {
        order.push_back(i);
        allOnMain = allOnMain && loop.IsMainThread();
      });
    }
    loop.Quit();
  });
  loop.Run();
  poster.join();
  // Quit drops what was still queued, so a prefix ran, in order.
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], static_cast<int>(i));
  EXPECT_TRUE(allOnMain);
}

TEST(QtMainLoop, RunAndWaitRunsOnTheMainThreadAndReturnsFalseOnceTheLoopEnded) {
  auto loop = std::make_unique<QtMainLoop>();
  bool ranOnMain = false;
  bool answered = false;
  std::thread worker([&] {
    answered = loop->RunAndWait([&] { ranOnMain = loop->IsMainThread(); });
    loop->Quit();
  });
  loop->Run();
  worker.join();
  EXPECT_TRUE(answered);
  EXPECT_TRUE(ranOnMain);

  // After the end a waiting thread gets false at once instead of hanging.
  std::atomic<int> late{-1};
  std::thread after([&] { late = loop->RunAndWait([] { ADD_FAILURE() << "ran after the end"; }); });
  after.join();
  EXPECT_EQ(late, 0);
  EXPECT_TRUE(loop->RunAndWait([] {})) << "on the main thread it runs at once";
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
    // Stays in this work item until the waiter has queued its work, then ends the loop.
    while (!queued) std::this_thread::yield();
    std::this_thread::sleep_for(20ms);
    loop->Quit();
  });
  loop->Run();
  loop.reset();  // waits for the waiter to leave
  waiter.join();
  EXPECT_EQ(result, 0);
}

TEST(QtMainLoop, FiresDelayedWorkAndRepeatingTimersStartedFromAnyThread) {
  QtMainLoop loop;
  int ticks = 0;
  std::atomic<bool> delayed{false};
  std::thread starter([&] {
    loop.PostDelayed(5ms, [&] { delayed = loop.IsMainThread(); });
    loop.StartRepeatingTimer(10ms, [&] {
      if (++ticks == 3) loop.Quit();
    });
  });
  starter.join();
  loop.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(delayed);
}

TEST(QtMainLoop, RunsGLibSourcesOfTheDefaultContext) {
  // The desktop backend's D-Bus and settings signals arrive as GLib sources.
  QtMainLoop loop;
  struct Seen {
    QtMainLoop* loop;
    bool onMain = false;
  } seen{&loop};
  g_idle_add(
      [](gpointer data) -> gboolean {
        auto* s = static_cast<Seen*>(data);
        s->onMain = s->loop->IsMainThread();
        s->loop->Quit();
        return G_SOURCE_REMOVE;
      },
      &seen);
  loop.PostDelayed(10s, [&] { loop.Quit(); });  // a guard, should GLib never be run
  loop.Run();
  EXPECT_TRUE(seen.onMain);
}

TEST(QtMainLoop, TicksWaitWhileAnAlertIsOpen) {
  QtMainLoop loop;
  int ticks = 0;
  int ticksWhileOpen = -1;
  testing::SeenAlert seen;
  loop.StartRepeatingTimer(5ms, [&] {
    if (++ticks != 2) return;
    // An alert opened by a tick: the next ticks must not run inside it.
    QTimer::singleShot(150ms, [&] {
      ticksWhileOpen = ticks;
      testing::AnswerNextAlert("OK", seen);
    });
    RunAlert("question", "", {"OK"});
    EXPECT_EQ(ticks, 2);
    loop.Quit();
  });
  loop.Run();
  EXPECT_EQ(ticksWhileOpen, 2);
  EXPECT_EQ(seen.text, "question");
}

}  // namespace
}  // namespace hovra::platform::qt
