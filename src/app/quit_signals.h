// The signals that end the program: SIGINT and SIGTERM (asked to stop) and SIGHUP (the
// terminal that ran it went away). One thread waits for them. The first starts the quit
// path; another one while that runs ends the process at once.
#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace hovra::app {

class QuitSignals {
 public:
  // Blocks the signals in the calling thread and so in every thread it starts later; call
  // before any thread starts, so that only the waiting thread takes them.
  static void Block();

  // `onFirst` gets the signal's name ("SIGTERM") on the waiting thread. `endNow` gets the
  // number of a signal that came while the quit was under way (default: leave at once).
  explicit QuitSignals(std::function<void(const char*)> onFirst,
                       std::function<void(int)> endNow = nullptr);
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // The quit was refused (the user kept the program): the next signal asks again.
  void QuitCancelled() { quitting_.store(false, std::memory_order_release); }

  static const char* Name(int signal);

 private:
  static sigset_t Signals();
  void Wait();

  std::function<void(const char*)> onFirst_;
  std::function<void(int)> endNow_;
  std::atomic<bool> quitting_{false};
  std::thread waiter_;
};

}  // namespace hovra::app
