// The portable backend: one pollfd per watched descriptor, kept in a dense array (a
// removal moves the last entry into the gap) with an index by descriptor.
#include <poll.h>

#include <cerrno>

#include "server/poller.h"

namespace hovra {
namespace {

class PollPoller final : public Poller {
 public:
  bool Change(int fd, unsigned old, unsigned mask) override {
    if (fd < 0) return false;
    if (static_cast<size_t>(fd) >= slot_.size()) slot_.resize(static_cast<size_t>(fd) + 1, -1);
    int& at = slot_[static_cast<size_t>(fd)];
    (void)old;
    if (mask == kNoEvents) {
      if (at < 0) return true;
      pollfd& last = fds_.back();
      fds_[static_cast<size_t>(at)] = last;
      slot_[static_cast<size_t>(last.fd)] = at;
      fds_.pop_back();
      at = -1;
      return true;
    }
    if (at < 0) {
      at = static_cast<int>(fds_.size());
      fds_.push_back(pollfd{fd, 0, 0});
    }
    fds_[static_cast<size_t>(at)].events = Events(mask);
    return true;
  }

  int Wait(int timeoutMs, std::vector<FiredEvent>& fired) override {
    int ready = ::poll(fds_.data(), static_cast<nfds_t>(fds_.size()), timeoutMs);
    if (ready <= 0) return 0;
    int added = 0;
    for (const pollfd& p : fds_) {
      if (p.revents == 0) continue;
      unsigned mask = 0;
      if (p.revents & POLLIN) mask |= kReadable;
      if (p.revents & POLLOUT) mask |= kWritable;
      if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) mask |= kReadable | kWritable;
      fired.push_back(FiredEvent{p.fd, mask});
      ++added;
    }
    return added;
  }

  const char* Name() const override { return "poll"; }

 private:
  static short Events(unsigned mask) {
    short events = 0;
    if (mask & kReadable) events |= POLLIN;
    if (mask & kWritable) events |= POLLOUT;
    return events;
  }

  std::vector<pollfd> fds_;
  std::vector<int> slot_;  // by descriptor: index into fds_, or -1
};

}  // namespace

std::unique_ptr<Poller> MakePollPoller() { return std::make_unique<PollPoller>(); }

std::unique_ptr<Poller> MakePoller(std::string_view name) {
#if defined(__linux__)
  if (name.empty() || name == "epoll") return MakeEpollPoller();
#elif defined(HOVRA_HAVE_KQUEUE)
  if (name.empty() || name == "kqueue") return MakeKqueuePoller();
#else
  if (name.empty()) return MakePollPoller();
#endif
  if (name == "poll") return MakePollPoller();
  return nullptr;
}

}  // namespace hovra
