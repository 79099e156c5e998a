// What every desktop's main loop (GLib's, Qt's) must do as the main queue, GLib's own
// sources (D-Bus and settings signals) running beside it.
//   INSTANTIATE_TYPED_TEST_SUITE_P(Glib, MainLoopCases, linux_desktop::GlibMainLoop);
#pragma once

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace hovra::testing {

template <class Loop>
class MainLoopCases : public ::testing::Test {};
TYPED_TEST_SUITE_P(MainLoopCases);

TYPED_TEST_P(MainLoopCases, RunsWorkFromOtherThreadsInOrderOnTheMainThreadUntilItEnds) {
  TypeParam loop;
  std::vector<int> order;
  std::atomic<bool> allOnMain{true};
  bool waited = false;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
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
  EXPECT_EQ(order.size(), 100u) << "all posted before the wait ran before it";
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_TRUE(allOnMain);
  // After the end a waiting thread gets false at once instead of hanging.
  int late = -1;
  std::thread([&] { late = loop.RunAndWait([] { ADD_FAILURE() << "ran after the end"; }); }).join();
  EXPECT_EQ(late, 0);
}

TYPED_TEST_P(MainLoopCases, AWaiterIsReleasedWhenALoopThatNeverRanGoesAway) {
  auto loop = std::make_unique<TypeParam>();
  TypeParam* waitedOn = loop.get();  // the worker never reads the pointer being reset
  std::atomic<int> result{-1};
  std::atomic<bool> started{false};
  std::thread worker([&result, &started, waitedOn] {
    started = true;
    result = waitedOn->RunAndWait([] {}) ? 1 : 0;
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // waiting by now, or about to
  loop->Quit();
  loop.reset();
  worker.join();
  EXPECT_EQ(result, 0);
}

TYPED_TEST_P(MainLoopCases, RunsTimersDelayedWorkAndGlibSourcesFromAnyThread) {
  TypeParam loop;
  int ticks = 0;
  std::atomic<bool> delayedOnMain{false};
  bool glibOnMain = false;
  std::thread([&] {
    loop.PostDelayed(std::chrono::milliseconds(5), [&] { delayedOnMain = loop.IsMainThread(); });
    loop.StartRepeatingTimer(std::chrono::milliseconds(10), [&] {
      if (++ticks == 3) loop.Quit();
    });
  }).join();
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

REGISTER_TYPED_TEST_SUITE_P(MainLoopCases,
                            RunsWorkFromOtherThreadsInOrderOnTheMainThreadUntilItEnds,
                            AWaiterIsReleasedWhenALoopThatNeverRanGoesAway,
                            RunsTimersDelayedWorkAndGlibSourcesFromAnyThread);

}  // namespace hovra::testing
