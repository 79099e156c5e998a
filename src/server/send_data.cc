#include "server/send_data.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace hovra {
namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;  // SO_NOSIGPIPE is set on the socket instead
#endif

}  // namespace

bool SendDataToSock(int sock, const char* data, size_t len, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  size_t sent = 0;
  while (sent < len) {
    ssize_t n = ::send(sock, data + sent, len - sent, kSendFlags);
    if (n >= 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // Waits for room instead of spinning; gives up once the client has had its time.
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd pfd{sock, POLLOUT, 0};
    ::poll(&pfd, 1, static_cast<int>(left.count()));
  }
  return true;
}

void SendOnce(int sock, const char* data, size_t len) {
  ssize_t ignored = ::send(sock, data, len, kSendFlags | MSG_DONTWAIT);
  (void)ignored;
}

}  // namespace hovra
