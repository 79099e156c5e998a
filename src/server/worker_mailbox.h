// Work handed to the worker thread from other threads (the main thread's reports), with
// the wake-up that ends the worker's wait: a self-pipe the event loop watches.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace hovra {

class WorkerMailbox {
 public:
  WorkerMailbox();  // check ReadEnd() >= 0
  ~WorkerMailbox();
  WorkerMailbox(const WorkerMailbox&) = delete;
  WorkerMailbox& operator=(const WorkerMailbox&) = delete;

  // The descriptor the worker's loop watches for reading.
  int ReadEnd() const { return pipe_[0]; }

  // Any thread: queues `work` for the worker and wakes it.
  void Post(std::function<void()> work);
  // Any thread: only wakes the worker (its loop then looks at its flags).
  void Wake();
  // Worker: empties the pipe and runs what was posted, in posting order.
  void RunPosted();

 private:
  int pipe_[2] = {-1, -1};
  std::atomic<bool> wakePending_{false};  // one byte in the pipe is enough
  std::mutex mutex_;
  std::vector<std::function<void()>> posted_;
};

}  // namespace hovra
