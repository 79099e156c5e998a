// The main thread's run loop: order, waiting callers, timers and a clean end.
#include "platform/run_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace hovra::platform {
namespace {

using namespace std::chrono_literals;

TEST(RunLoop, RunsPostedWorkInOrderAndFiresDelayedWorkAndRepeatingTimers) {
  RunLoop loop;
  std::vector<int> order;
  int ticks = 0;
  bool delayed = false;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) loop.Post([&, i] { order.push_back(i); });
  });
  loop.StartRepeatingTimer(10ms, [&] {
    if (++ticks >= 3 && order.size() == 3) loop.Quit();
  });
  loop.PostDelayed(1ms, [&] { delayed = true; });
  loop.Run();
  poster.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(delayed);
}

TEST(RunLoop, RunAndWaitReturnsAfterTheWorkRanOnTheMainThread) {
  RunLoop loop;
  std::atomic<bool> onMain{false};
  bool ran = false;
  std::thread worker([&] {
    ran = loop.RunAndWait([&] { onMain = loop.IsMainThread(); });
    loop.Quit();
  });
  loop.Run();
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(onMain);
  EXPECT_TRUE(loop.RunAndWait([] {})) << "on the main thread it runs at once";
}

TEST(RunLoop, WaitersAreReleasedWhenTheLoopEnds) {
  auto loop = std::make_unique<RunLoop>();
  std::atomic<int> result{-1};
  std::atomic<bool> started{false};
  std::thread worker([&] {
    started = true;
    result = loop->RunAndWait([] {}) ? 1 : 0;
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(20ms);
  loop->Quit();
  loop.reset();  // the loop never ran: the waiter must not hang
  worker.join();
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace hovra::platform
