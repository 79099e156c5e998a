// The quit signals, in a child process of their own (signals are process-wide).
#include "app/quit_signals.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace hovra::app {
namespace {

bool WaitFor(const std::atomic<int>& value, int wanted) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (value.load() != wanted && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return value.load() == wanted;
}

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
  if (!WaitFor(asked, 1)) std::_Exit(1);
  signals.QuitCancelled();  // the user kept the program: the next signal asks again
  ::kill(::getpid(), SIGINT);
  if (!WaitFor(asked, 2)) std::_Exit(2);
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
