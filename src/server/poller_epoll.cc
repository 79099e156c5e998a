// The Linux backend: one epoll instance, level-triggered.
#include <sys/epoll.h>
#include <unistd.h>

#include "server/poller.h"

namespace hovra {
namespace {

class EpollPoller final : public Poller {
 public:
  EpollPoller() : epfd_(::epoll_create1(EPOLL_CLOEXEC)), ready_(64) {}
  ~EpollPoller() override {
    if (epfd_ >= 0) ::close(epfd_);
  }
  EpollPoller(const EpollPoller&) = delete;
  EpollPoller& operator=(const EpollPoller&) = delete;

  bool Ok() const { return epfd_ >= 0; }

  bool Change(int fd, unsigned old, unsigned mask) override {
    epoll_event event{};
    event.data.fd = fd;
    if (mask & kReadable) event.events |= EPOLLIN;
    if (mask & kWritable) event.events |= EPOLLOUT;
    const int op = mask == kNoEvents  ? EPOLL_CTL_DEL
                   : old == kNoEvents ? EPOLL_CTL_ADD
                                      : EPOLL_CTL_MOD;
    if (op == EPOLL_CTL_DEL && old == kNoEvents) return true;
    return ::epoll_ctl(epfd_, op, fd, &event) == 0;
  }

  int Wait(int timeoutMs, std::vector<FiredEvent>& fired) override {
    int ready = ::epoll_wait(epfd_, ready_.data(), static_cast<int>(ready_.size()), timeoutMs);
    if (ready <= 0) return 0;
    for (int i = 0; i < ready; ++i) {
      const epoll_event& e = ready_[static_cast<size_t>(i)];
      unsigned mask = 0;
      if (e.events & EPOLLIN) mask |= kReadable;
      if (e.events & EPOLLOUT) mask |= kWritable;
      if (e.events & (EPOLLERR | EPOLLHUP)) mask |= kReadable | kWritable;
      fired.push_back(FiredEvent{e.data.fd, mask});
    }
    // A full batch hints at more: the next wait takes a bigger one.
    if (static_cast<size_t>(ready) == ready_.size() && ready_.size() < kMaxBatch) {
      ready_.resize(ready_.size() * 2);
    }
    return ready;
  }

  const char* Name() const override { return "epoll"; }

 private:
  static constexpr size_t kMaxBatch = 4096;  // events taken per wait, at most
  int epfd_;
  std::vector<epoll_event> ready_;
};

}  // namespace

std::unique_ptr<Poller> MakeEpollPoller() {
  auto poller = std::make_unique<EpollPoller>();
  if (!poller->Ok()) return nullptr;
  return poller;
}

}  // namespace hovra
