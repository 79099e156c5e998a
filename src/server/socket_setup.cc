#include "server/socket_setup.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/log.h"

namespace hovra {
namespace {

// The kernel's buffer for one client's unsent replies (Linux doubles what is asked).
constexpr int kClientSendBufferBytes = 128 << 10;
// A burst of phones connecting at once must not be turned away by a tiny queue.
constexpr int kListenBacklog = SOMAXCONN;

bool MakeCloseOnExec(int fd) {
  const int flags = ::fcntl(fd, F_GETFD);
  return flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0;
}

}  // namespace

bool MakeNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && MakeCloseOnExec(fd);
}

int OpenListener(unsigned short port) {
  int sock = ::socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
  if (sock < 0) {
    Log("cannot listen on TCP port %u: %s", port, std::strerror(errno));
    return -1;
  }
  int one = 1;
  int zero = 0;
  sockaddr_in6 any{};
  any.sin6_family = AF_INET6;
  any.sin6_addr = in6addr_any;
  any.sin6_port = htons(port);
  if (!MakeNonBlocking(sock) ||
      ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
      ::setsockopt(sock, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero) != 0 ||
      ::bind(sock, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 ||
      ::listen(sock, kListenBacklog) != 0) {
    Log("cannot listen on TCP port %u: %s", port, std::strerror(errno));
    ::close(sock);
    return -1;
  }
  return sock;
}

unsigned short LocalPort(int fd) {
  sockaddr_in6 local{};
  socklen_t len = sizeof local;
  if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin6_port);
}

int AcceptClient(int listener, sockaddr_storage& peer) {
  socklen_t peerLen = sizeof peer;
#if defined(__linux__)
  int sock = ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peerLen,
                       SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (sock < 0) return -1;
#else
  int sock = ::accept(listener, reinterpret_cast<sockaddr*>(&peer), &peerLen);
  if (sock < 0) return -1;
  if (!MakeNonBlocking(sock)) {
    const int error = errno;
    ::close(sock);
    errno = error;
    return -1;
  }
#endif
  int one = 1;
  ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  // A fixed share of the kernel's memory for replies not yet taken, rather than the
  // megabytes autotuning grants a loopback peer that never reads; ample for a phone.
  int sendBuffer = kClientSendBufferBytes;
  ::setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
#ifdef SO_NOSIGPIPE
  ::setsockopt(sock, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
  return sock;
}

bool IsDescriptorShortage(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

}  // namespace hovra
