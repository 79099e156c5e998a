#include "server/hovra_svr_sock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/log.h"
#include "base/printable.h"
#include "input/tick_source.h"
#include "input/wheel.h"
#include "server/reports.h"
#include "server/send_data.h"
#include "server/system_version.h"
#include "server/time_tick.h"

namespace hovra {
namespace {

constexpr size_t kWorkerStackBytes = 0x40000;
constexpr int kPollTimeoutMs = 3000;
constexpr unsigned kAcceptPauseMs = 250;  // while descriptors are exhausted
// A burst of phones connecting at once must not be turned away by a tiny queue.
constexpr int kListenBacklog = SOMAXCONN;

int OpenListener(unsigned short port) {
  int sock = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (sock < 0) return -1;
  int one = 1;
  int zero = 0;
  sockaddr_in6 any{};
  any.sin6_family = AF_INET6;
  any.sin6_addr = in6addr_any;
  any.sin6_port = htons(port);
  if (::fcntl(sock, F_SETFL, O_NONBLOCK) != 0 ||
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

bool IsDescriptorShortage(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

}  // namespace

CHovraSvrSock::CHovraSvrSock(const std::string& /*addr*/, unsigned short port,
                             ServerOptions options)
    : hooks_(std::move(options.hooks)) {
  ResetTimeTickOrigin();
  SetTickSource(&GetTimeTick);  // click counting runs on the server's clock
  tcpSock = OpenListener(port);
  discovery = std::make_unique<Discovery>(std::move(options.discovery));
  if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe_[0] = wakePipe_[1] = -1;
  isRunning = 1;

  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kWorkerStackBytes);
  threadCreated = pthread_create(&thread, &attr, &CHovraSvrSock::SvrThreadProc, this) == 0;
  pthread_attr_destroy(&attr);
  if (!threadCreated) Log("cannot start the server's worker thread");
}

CHovraSvrSock::~CHovraSvrSock() {
  if (threadCreated) {
    setStop();
    pthread_join(thread, nullptr);
  }
  std::lock_guard<std::mutex> lock(clientsMutex);
  for (auto& [sock, client] : clients) {
    client->held.ReleaseAll();
    ClearClnt(*client);
  }
  clients.clear();
  if (tcpSock != -1) ::close(tcpSock);
  discovery.reset();
  for (int fd : wakePipe_) {
    if (fd != -1) ::close(fd);
  }
}

void CHovraSvrSock::setStop() {
  isRunning = 0;
  if (wakePipe_[1] != -1) {
    ssize_t ignored = ::write(wakePipe_[1], "x", 1);
    (void)ignored;
  }
}

unsigned short CHovraSvrSock::ListeningPort() const {
  sockaddr_in6 local{};
  socklen_t len = sizeof local;
  if (tcpSock == -1 || ::getsockname(tcpSock, reinterpret_cast<sockaddr*>(&local), &len) != 0) {
    return 0;
  }
  return ntohs(local.sin6_port);
}

bool CHovraSvrSock::VerifyPassword(const char* text) const {
  return hooks_.verifyPassword && hooks_.verifyPassword(text);
}

size_t CHovraSvrSock::ClientCount() {
  std::lock_guard<std::mutex> lock(clientsMutex);
  return clients.size();
}

void* CHovraSvrSock::SvrThreadProc(void* self) {
  static_cast<CHovraSvrSock*>(self)->ThreadProcImpl();
  return nullptr;
}

void CHovraSvrSock::ThreadProcImpl() {
  GetSystemVersion();
  std::vector<pollfd> fds;
  while (isRunning != 0) RunOnePass(fds);
}

// One pass of the loop: wait at most three seconds, then in this order announce, accept
// one connection, answer one probe, and read each readable client once.
void CHovraSvrSock::RunOnePass(std::vector<pollfd>& fds) {
  fds.clear();
  fds.push_back(pollfd{wakePipe_[0], POLLIN, 0});
  int timeout = kPollTimeoutMs;
  if (acceptPaused_) {
    unsigned elapsed = GetTimeTick() - acceptPausedUntil_;
    if (elapsed >= kAcceptPauseMs) {
      acceptPaused_ = false;
    } else {
      timeout = static_cast<int>(kAcceptPauseMs - elapsed);
    }
  }
  const size_t tcpIndex = fds.size();
  if (tcpSock != -1 && !acceptPaused_) fds.push_back(pollfd{tcpSock, POLLIN, 0});
  const size_t firstClient = fds.size();
  for (const auto& [sock, client] : clients) fds.push_back(pollfd{sock, POLLIN, 0});
  const size_t endClients = fds.size();
  const int udpSock = discovery->Socket();
  bool announce = false;
  if (udpSock != -1) {
    short events = POLLIN;
    if (GetTimeTick() - lastBcTick >= kAnnounceIntervalMs) {
      lastBcTick = GetTimeTick();
      events |= POLLOUT;
      announce = true;
    }
    fds.push_back(pollfd{udpSock, events, 0});
  }

  if (::poll(fds.data(), fds.size(), timeout) <= 0) return;
  if (fds[0].revents & POLLIN) {
    char drain[16];
    while (::read(wakePipe_[0], drain, sizeof drain) > 0) {
    }
  }
  const short udpEvents = udpSock != -1 ? fds.back().revents : 0;
  if (announce && (udpEvents & POLLOUT)) discovery->Announce();
  if (tcpIndex < firstClient && (fds[tcpIndex].revents & POLLIN)) AcceptNewConn();
  if (udpEvents & POLLIN) discovery->AnswerProbe();
  for (size_t i = firstClient; i < endClients; ++i) {
    if (fds[i].revents == 0) continue;
    auto found = clients.find(fds[i].fd);
    if (found == clients.end()) continue;
    _MouseClnt& c = *found->second;
    int result = c.dropRequested ? -1 : RecvClntData(c);
    if (result != 0) {
      RemoveClient(c.sock);
      break;  // readable clients later in the order are served in the next pass
    }
  }
}

void CHovraSvrSock::AcceptNewConn() {
  sockaddr_in6 peer{};
  socklen_t peerLen = sizeof peer;
  int sock = ::accept4(tcpSock, reinterpret_cast<sockaddr*>(&peer), &peerLen,
                       SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (sock < 0) {
    static LogOnce shortage;
    if (IsDescriptorShortage(errno)) {
      // The listener stays readable while the connection waits in the queue, so accepting
      // pauses briefly instead of turning the loop into a spin.
      if (shortage.First())
        Log("cannot accept a client: %s; pausing new connections", std::strerror(errno));
      acceptPaused_ = true;
      acceptPausedUntil_ = GetTimeTick();
    }
    return;
  }
  int one = 1;
  ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
#ifdef SO_NOSIGPIPE
  ::setsockopt(sock, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif

  char greeting[128] = {};
  int n = std::snprintf(greeting, sizeof greeting, "system mac %s\n", SystemVersionText().c_str());
  SendOnce(sock, greeting, static_cast<size_t>(n));
  const bool protectedNow = hooks_.isPasswordProtection && hooks_.isPasswordProtection();
  if (protectedNow) SendOnce(sock, "needpassword\n", 13);

  auto client = std::make_unique<_MouseClnt>();
  client->sock = sock;
  client->mustVerify = protectedNow;
  std::lock_guard<std::mutex> lock(clientsMutex);
  clients[sock] = std::move(client);
}

int CHovraSvrSock::RecvClntData(_MouseClnt& c) {
  if (c.recvLen == kRecvBufferBytes) {
    if (c.overflowLogged.First()) {
      Log("client %d: %d bytes without a complete frame or line; discarding them", c.sock,
          kRecvBufferBytes);
    }
    c.recvLen = 0;
    c.recvBuf[0] = '\0';
  }
  ssize_t n =
      ::recv(c.sock, c.recvBuf + c.recvLen, static_cast<size_t>(kRecvBufferBytes - c.recvLen), 0);
  if (n == 0) return -1;
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    if (errno != ECONNRESET) Log("client %d: receive failed: %s", c.sock, std::strerror(errno));
    return -1;
  }
  c.recvLen += static_cast<int>(n);
  c.recvBuf[c.recvLen] = '\0';
  int result = HandleClntMsg(c);
  CommitMouseWheel();
  return result;
}

int CHovraSvrSock::ReceiveBytes(_MouseClnt& c, const char* data, size_t len) {
  int result = 0;
  while (len > 0 && result >= 0) {
    if (c.recvLen == kRecvBufferBytes) {
      c.recvLen = 0;
      c.recvBuf[0] = '\0';
    }
    size_t room = static_cast<size_t>(kRecvBufferBytes - c.recvLen);
    size_t n = len < room ? len : room;
    std::memcpy(c.recvBuf + c.recvLen, data, n);
    c.recvLen += static_cast<int>(n);
    c.recvBuf[c.recvLen] = '\0';
    data += n;
    len -= n;
    result = HandleClntMsg(c);
    CommitMouseWheel();
  }
  return result;
}

int CHovraSvrSock::RemoveFromRecvBuf(_MouseClnt& c, int n) {
  if (n > c.recvLen) n = c.recvLen;
  std::memmove(c.recvBuf, c.recvBuf + n, static_cast<size_t>(c.recvLen - n));
  c.recvLen -= n;
  c.recvBuf[c.recvLen] = '\0';
  return c.recvLen;
}

void CHovraSvrSock::ClearClnt(_MouseClnt& c) { ::close(c.sock); }

void CHovraSvrSock::RemoveClient(int sock) {
  auto found = clients.find(sock);
  if (found == clients.end()) return;
  found->second->held.ReleaseAll();  // nothing the client held stays down
  std::lock_guard<std::mutex> lock(clientsMutex);
  ClearClnt(*found->second);
  clients.erase(found);
  acceptPaused_ = false;  // a descriptor is free again
}

void CHovraSvrSock::SendReply(_MouseClnt& c, const char* data, size_t len) {
  std::lock_guard<std::mutex> lock(c.sendMutex);
  if (c.dropRequested) return;
  if (!SendDataToSock(c.sock, data, len)) {
    Log("client %d does not take its replies; closing it", c.sock);
    c.dropRequested = true;
    ::shutdown(c.sock, SHUT_RDWR);  // the worker removes it at its next pass
  }
}

void CHovraSvrSock::SendSingle(_MouseClnt& c, const char* data, size_t len) {
  std::lock_guard<std::mutex> lock(c.sendMutex);
  SendOnce(c.sock, data, len);
}

}  // namespace hovra

namespace hovra {

void CHovraSvrSock::SendCurrentApplication(const char* bundleId) {
  const std::string text = CurrentAppReport(bundleId);
  std::lock_guard<std::mutex> lock(clientsMutex);
  for (auto& [sock, client] : clients) {
    if (!client->reportApp.load(std::memory_order_relaxed)) continue;
    PrintLine("sending: currentapp %s", Printable(bundleId).c_str());
    SendReply(*client, text.data(), text.size());
  }
}

}  // namespace hovra
