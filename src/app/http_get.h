// One plain HTTP(S) GET with bounded waiting and a bounded answer, for the update check.
// A transfer can be cancelled from another thread; it then ends within milliseconds.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>

namespace hovra::app {

struct HttpLimits {
  std::chrono::milliseconds connect{10000};  // to establish the connection
  std::chrono::milliseconds total{30000};    // for the whole exchange
  size_t maxBodyBytes = 65536;               // a version answer is a few dozen bytes
};

// Ends the transfers it is handed to, now or as soon as they start. Any thread.
class HttpCancel {
 public:
  void Cancel();
  bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }

 private:
  friend class HttpTransfer;
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  void* waiting_ = nullptr;  // the transfer's multi handle while it waits
};

// The body of the answer whatever its status, or nothing with `error` set on a transport
// failure, a time-out, an over-long body or a cancellation. Safe from any thread.
std::optional<std::string> HttpGet(const std::string& url, const HttpLimits& limits,
                                   std::string& error, HttpCancel* cancel = nullptr);

}  // namespace hovra::app
