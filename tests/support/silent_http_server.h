// A loopback HTTP server that takes requests and never answers: the update check against
// it hangs until it is cancelled.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace hovra::testing {

class SilentHttpServer {
 public:
  SilentHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
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
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!requested_ && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return requested_;
  }

 private:
  void Serve() {
    std::string request;
    while (!stop_) {
      pollfd fds[2] = {{listener_, POLLIN, 0},
                       {clients_.empty() ? -1 : clients_.back(), POLLIN, 0}};
      if (::poll(fds, 2, 20) <= 0) continue;
      if (fds[0].revents & POLLIN) clients_.push_back(::accept(listener_, nullptr, nullptr));
      if (fds[1].revents & POLLIN) {
        char buffer[1024];
        ssize_t n = ::recv(fds[1].fd, buffer, sizeof buffer, 0);
        if (n > 0) request.append(buffer, static_cast<size_t>(n));
        if (request.find("\r\n\r\n") != std::string::npos) requested_ = true;
        if (n <= 0) fds[1].fd = -1;
      }
    }
  }

  int listener_ = -1;
  unsigned short port_ = 0;
  std::vector<int> clients_;  // kept open, never answered
  std::atomic<bool> stop_{false};
  std::atomic<bool> requested_{false};
  std::thread thread_;
};

}  // namespace hovra::testing
