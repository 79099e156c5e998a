// The quit signals, in a child process of their own (signals are process-wide).
#include "app/quit_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

namespace hovra::app {
namespace {

// Exit codes of the child: 42 when every step held, else the step that failed.
[[noreturn]] void FirstAsksThenASecondEndsAtOnce() {
  QuitSignals::Block();
  std::atomic<int> asked{0};
  std::string names;
  QuitSignals signals(
      [&](const char* name) {
        names += name;
        names += ' ';
        asked.fetch_add(1);
      },
      [&](int signal) { std::_Exit(signal == SIGTERM && names == "SIGHUP SIGINT " ? 42 : 3); });
  ::kill(::getpid(), SIGHUP);
  if (!testing::PollUntil([&] { return asked == 1; })) std::_Exit(1);
  signals.QuitCancelled();  // the user kept the program: the next signal asks again
  ::kill(::getpid(), SIGINT);
  if (!testing::PollUntil([&] { return asked == 2; })) std::_Exit(2);
  ::kill(::getpid(), SIGTERM);  // while that quit runs
  std::this_thread::sleep_for(std::chrono::seconds(5));
  std::_Exit(4);
}

TEST(QuitSignals, TheFirstStartsTheQuitAndASecondEndsTheProcessAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(FirstAsksThenASecondEndsAtOnce(), ::testing::ExitedWithCode(42), "");
}

}  // namespace
}  // namespace hovra::app
