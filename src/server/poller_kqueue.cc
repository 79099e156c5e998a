// The macOS and BSD backend: one kqueue, a read and a write filter per descriptor as
// needed. Built only where kqueue exists.
#include <sys/event.h>
#include <sys/time.h>
#include <unistd.h>

#include "server/poller.h"

namespace hovra {
namespace {

class KqueuePoller final : public Poller {
 public:
  KqueuePoller() : kq_(::kqueue()), ready_(64) {}
  ~KqueuePoller() override {
    if (kq_ >= 0) ::close(kq_);
  }
  KqueuePoller(const KqueuePoller&) = delete;
  KqueuePoller& operator=(const KqueuePoller&) = delete;

  bool Ok() const { return kq_ >= 0; }

  bool Change(int fd, unsigned old, unsigned mask) override {
    struct kevent changes[2];
    int count = 0;
    const unsigned added = mask & ~old;
    const unsigned removed = old & ~mask;
    if (added & kReadable) EV_SET(&changes[count++], fd, EVFILT_READ, EV_ADD, 0, 0, nullptr);
    if (added & kWritable) EV_SET(&changes[count++], fd, EVFILT_WRITE, EV_ADD, 0, 0, nullptr);
    bool ok = count == 0 || ::kevent(kq_, changes, count, nullptr, 0, nullptr) == 0;
    // Deletions one at a time: a filter the kernel already dropped (closed descriptor)
    // must not keep the other from going.
    if (removed & kReadable) Delete(fd, EVFILT_READ);
    if (removed & kWritable) Delete(fd, EVFILT_WRITE);
    return ok;
  }

  int Wait(int timeoutMs, std::vector<FiredEvent>& fired) override {
    timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    int ready = ::kevent(kq_, nullptr, 0, ready_.data(), static_cast<int>(ready_.size()),
                         timeoutMs < 0 ? nullptr : &timeout);
    if (ready <= 0) return 0;
    for (int i = 0; i < ready; ++i) {
      const struct kevent& e = ready_[static_cast<size_t>(i)];
      unsigned mask = e.filter == EVFILT_READ ? kReadable : kWritable;
      if (e.flags & (EV_EOF | EV_ERROR)) mask |= kReadable | kWritable;
      fired.push_back(FiredEvent{static_cast<int>(e.ident), mask});
    }
    if (static_cast<size_t>(ready) == ready_.size() && ready_.size() < kMaxBatch) {
      ready_.resize(ready_.size() * 2);
    }
    return ready;
  }

  const char* Name() const override { return "kqueue"; }

 private:
  void Delete(int fd, short filter) {
    struct kevent change;
    EV_SET(&change, fd, filter, EV_DELETE, 0, 0, nullptr);
    ::kevent(kq_, &change, 1, nullptr, 0, nullptr);
  }

  static constexpr size_t kMaxBatch = 4096;
  int kq_;
  std::vector<struct kevent> ready_;
};

}  // namespace

std::unique_ptr<Poller> MakeKqueuePoller() {
  auto poller = std::make_unique<KqueuePoller>();
  if (!poller->Ok()) return nullptr;
  return poller;
}

}  // namespace hovra
