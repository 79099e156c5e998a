#include "app/quit_signals.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>

#include "base/log.h"

namespace hovra::app {
namespace {

constexpr int kReleaseWaiter = SIGUSR1;  // internal: ends the waiting thread

void LeaveAtOnce(int signal) {
  std::fflush(nullptr);
  std::_Exit(128 + signal);
}

}  // namespace

sigset_t QuitSignals::Signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, kReleaseWaiter);
  return set;
}

void QuitSignals::Block() {
  sigset_t set = Signals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

const char* QuitSignals::Name(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
  }
  return "signal";
}

QuitSignals::QuitSignals(std::function<void(const char*)> onFirst, std::function<void(int)> endNow)
    : onFirst_(std::move(onFirst)), endNow_(endNow ? std::move(endNow) : LeaveAtOnce) {
  waiter_ = std::thread([this] { Wait(); });
}

QuitSignals::~QuitSignals() {
  pthread_kill(waiter_.native_handle(), kReleaseWaiter);
  waiter_.join();
}

void QuitSignals::Wait() {
  const sigset_t set = Signals();
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    if (signal == kReleaseWaiter) return;
    if (quitting_.exchange(true, std::memory_order_acq_rel)) {
      Log("%s received while stopping; ending at once", Name(signal));
      endNow_(signal);
      continue;
    }
    onFirst_(Name(signal));
  }
}

}  // namespace hovra::app
