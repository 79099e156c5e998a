#include "server/worker_mailbox.h"

#include <unistd.h>

#include "server/socket_setup.h"

namespace hovra {

WorkerMailbox::WorkerMailbox() {
  if (::pipe(pipe_) != 0 || !MakeNonBlocking(pipe_[0]) || !MakeNonBlocking(pipe_[1])) {
    for (int& fd : pipe_) {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
  }
}

WorkerMailbox::~WorkerMailbox() {
  for (int fd : pipe_) {
    if (fd >= 0) ::close(fd);
  }
}

void WorkerMailbox::Post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(std::move(work));
  }
  Wake();
}

void WorkerMailbox::Wake() {
  if (pipe_[1] < 0 || wakePending_.exchange(true, std::memory_order_acq_rel)) return;
  ssize_t ignored = ::write(pipe_[1], "w", 1);
  (void)ignored;
}

void WorkerMailbox::RunPosted() {
  char drain[64];
  while (::read(pipe_[0], drain, sizeof drain) > 0) {
  }
  // Lowered after the pipe is emptied and before the work is taken: work posted before
  // this point is taken below, work posted after it writes a fresh wake-up byte.
  wakePending_.store(false, std::memory_order_release);
  std::vector<std::function<void()>> work;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    work.swap(posted_);
  }
  for (auto& item : work) item();
}

}  // namespace hovra
