// The readiness backends of the event loop. Each offers the same three calls and nothing
// else: change what is watched on a descriptor, wait for readiness, and say its name.
//   epoll  Linux;
//   kqueue macOS and the BSDs (compiled only there);
//   poll   everywhere, the portable fallback.
// Level-triggered: a descriptor that stays readable is reported again at the next wait.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace hovra {

enum EventMask : unsigned {
  kNoEvents = 0,
  kReadable = 1,
  kWritable = 2,
};

struct FiredEvent {
  int fd;
  unsigned mask;  // kReadable and/or kWritable; an error or hang-up reports both
};

class Poller {
 public:
  virtual ~Poller() = default;
  // Watches `fd` for `mask` from now on, where it was watched for `old` (0: not at all).
  // A `mask` of 0 stops watching it. False when the system refused.
  virtual bool Change(int fd, unsigned old, unsigned mask) = 0;
  // Waits at most `timeoutMs` (-1: without limit) and appends what is ready to `fired`.
  // Returns the count appended (0 on time-out or interruption).
  virtual int Wait(int timeoutMs, std::vector<FiredEvent>& fired) = 0;
  virtual const char* Name() const = 0;
};

// The platform's best backend for `name` "" (epoll, kqueue, else poll), or the one named;
// null when the named one is not built here or cannot start.
std::unique_ptr<Poller> MakePoller(std::string_view name = {});

std::unique_ptr<Poller> MakePollPoller();
#if defined(__linux__)
std::unique_ptr<Poller> MakeEpollPoller();
#endif
#if defined(__APPLE__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__)
#define HOVRA_HAVE_KQUEUE 1
std::unique_ptr<Poller> MakeKqueuePoller();
#endif

}  // namespace hovra
