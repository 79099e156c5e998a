// A loopback HTTP server for the update check: it never answers (the check hangs), or
// sends `answer` after the request head and closes ("" closes without a word).
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/socket_client.h"
#include "tests/support/temp_dir.h"

namespace hovra::testing {

class SilentHttpServer {
 public:
  explicit SilentHttpServer(std::optional<std::string> answer = std::nullopt)
      : answer_(std::move(answer)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    port_ = BindLoopback(listener_);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~SilentHttpServer() {
    stop_ = true;
    thread_.join();
    for (int fd : clients_) ::close(fd);
    ::close(listener_);
  }
  SilentHttpServer(const SilentHttpServer&) = delete;
  SilentHttpServer& operator=(const SilentHttpServer&) = delete;

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/version.json"; }
  // True once a whole request head has arrived (within `wait`).
  bool WaitForRequest(std::chrono::milliseconds wait) const {
    return PollUntil([this] { return requested_.load(); }, wait);
  }
  std::string Request() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return request_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd fds[2] = {{listener_, POLLIN, 0},
                       {clients_.empty() ? -1 : clients_.back(), POLLIN, 0}};
      if (::poll(fds, 2, 20) <= 0) continue;
      if (fds[0].revents & POLLIN) clients_.push_back(::accept(listener_, nullptr, nullptr));
      if (fds[1].revents & POLLIN) Read(fds[1].fd);
    }
  }
  void Read(int fd) {
    char buffer[1024];
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    std::lock_guard<std::mutex> lock(mutex_);
    if (n > 0) request_.append(buffer, static_cast<size_t>(n));
    if (request_.find("\r\n\r\n") == std::string::npos || requested_) return;
    if (answer_) {
      ::send(fd, answer_->data(), answer_->size(), MSG_NOSIGNAL);
      ::close(fd);
      clients_.pop_back();
    }
    requested_ = true;
  }

  std::optional<std::string> answer_;
  int listener_ = -1;
  unsigned short port_ = 0;
  std::vector<int> clients_;  // kept open, never answered
  std::atomic<bool> stop_{false};
  std::atomic<bool> requested_{false};
  mutable std::mutex mutex_;
  std::string request_;
  std::thread thread_;
};

}  // namespace hovra::testing
