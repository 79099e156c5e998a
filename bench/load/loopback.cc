#include "bench/load/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace hovra::bench {

long RaiseDescriptorLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
  return static_cast<long>(limit.rlim_cur);
}

EchoServer::EchoServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof any;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&any), &len) != 0) {
    return;
  }
  port_ = ntohs(any.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

EchoServer::~EchoServer() {
  stop_ = true;
  ::shutdown(listener_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  ::close(listener_);
}

void EchoServer::Serve() {
  while (!stop_) {
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char buf[8192];
    while (::recv(fd, buf, sizeof buf, 0) > 0) {
      if (::send(fd, "echo", 4, MSG_NOSIGNAL) != 4) break;
    }
    ::close(fd);
  }
}

}  // namespace hovra::bench
