#include "tests/support/socket_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace hovra::testing {
namespace {

sockaddr_in Ipv4(unsigned short port, const char* address = "127.0.0.1") {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  ::inet_pton(AF_INET, address, &to.sin_addr);
  return to;
}

int ConnectOrClose(int fd, const sockaddr* to, socklen_t length) {
  if (fd >= 0 && ::connect(fd, to, length) == 0) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

}  // namespace

unsigned short BindLoopback(int fd, const char* address, unsigned short port) {
  sockaddr_in local = Ipv4(port, address);
  ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
  socklen_t len = sizeof local;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len);
  return ntohs(local.sin_port);
}

SocketClient::SocketClient(unsigned short port, bool ipv6) {
  sockaddr_in to4 = Ipv4(port);
  sockaddr_in6 to6{};
  to6.sin6_family = AF_INET6;
  to6.sin6_port = htons(port);
  to6.sin6_addr = in6addr_loopback;
  fd_ = ConnectOrClose(::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0),
                       ipv6 ? reinterpret_cast<sockaddr*>(&to6) : reinterpret_cast<sockaddr*>(&to4),
                       ipv6 ? sizeof to6 : sizeof to4);
}

SocketClient::~SocketClient() { Close(); }

SocketClient SocketClient::Greeted(unsigned short port) {
  SocketClient client(port);
  client.ReadUntil("\n");
  return client;
}

void SocketClient::NoDelay() {
  int one = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void SocketClient::ShrinkReceiveBuffer() {
  int small = 4096;
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
}

void SocketClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void SocketClient::Reset() {
  if (fd_ < 0) return;
  linger hard{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  Close();
}

bool SocketClient::Send(std::string_view bytes) {
  size_t off = 0;
  while (off < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    off += static_cast<size_t>(n);
  }
  return true;
}

bool SocketClient::Fill(std::chrono::steady_clock::time_point deadline) {
  if (closed_ || fd_ < 0) return false;
  pollfd pfd{fd_, POLLIN, 0};
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (::poll(&pfd, 1, static_cast<int>(std::max<int64_t>(left.count(), 0))) <= 0) return false;
  char buf[65536];
  ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  if (n <= 0) {
    closed_ = true;
    return false;
  }
  pending_.append(buf, static_cast<size_t>(n));
  return true;
}

std::string SocketClient::Take(size_t count) {
  std::string out = pending_.substr(0, count);
  pending_.erase(0, count);
  return out;
}

std::string SocketClient::Read(size_t count, std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (pending_.size() < count && Fill(deadline)) continue;
  return Take(count);
}

std::string SocketClient::ReadUntil(std::string_view text, std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  size_t at;
  while ((at = pending_.find(text)) == std::string::npos && Fill(deadline)) continue;
  return Take(at == std::string::npos ? pending_.size() : at + text.size());
}

std::string SocketClient::ReadAvailable(std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (Fill(deadline)) continue;
  return Take(pending_.size());
}

bool SocketClient::WaitForClose(std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (!closed_ && std::chrono::steady_clock::now() < deadline) {
    if (Fill(deadline)) pending_.clear();
  }
  return closed_;
}

SocketClient ConnectFrom(const char* source, unsigned short port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in from = Ipv4(0, source);
  sockaddr_in to = Ipv4(port);
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
    ::close(fd);
    fd = -1;
  }
  return SocketClient(ConnectOrClose(fd, reinterpret_cast<sockaddr*>(&to), sizeof to));
}

UdpCatcher::UdpCatcher(const char* address, unsigned short port) {
  fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  port_ = BindLoopback(fd_, address, port);
}

UdpCatcher::~UdpCatcher() { ::close(fd_); }

std::string UdpCatcher::Receive(std::chrono::milliseconds wait) {
  pollfd pfd{fd_, POLLIN, 0};
  if (::poll(&pfd, 1, static_cast<int>(wait.count())) <= 0) return {};
  char buf[2048];
  ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

void UdpCatcher::SendTo(unsigned short port, std::string_view bytes) {
  sockaddr_in to = Ipv4(port);
  ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

std::string EncodeFrame(std::string_view tag, std::string_view payload) {
  char header[8];
  std::snprintf(header, sizeof header, "%.3s%03zu", tag.data(), payload.size());
  return header + std::string(payload);
}

bool SendUnixLine(const std::string& path, std::string_view line) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  SocketClient client(ConnectOrClose(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0),
                                     reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  return client.Connected() && client.Send(std::string(line) + "\n");
}

unsigned short FreePort(bool udp) {
  int fd = ::socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
  const unsigned short port = BindLoopback(fd);
  ::close(fd);
  return port;
}

}  // namespace hovra::testing
