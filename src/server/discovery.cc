#include "server/discovery.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/decimal.h"
#include "base/log.h"
#include "platform/services.h"
#include "server/event_loop.h"
#include "server/socket_setup.h"

namespace hovra {
namespace {

sockaddr_in Endpoint(const char* address, uint16_t port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  ::inet_pton(AF_INET, address, &to.sin_addr);
  return to;
}

int OpenDiscoverySocket(uint16_t port) {
  int sock = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (sock < 0) return -1;
  int one = 1;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (!MakeNonBlocking(sock) ||
      ::setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0 ||
      ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
      ::bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    Log("discovery: cannot open UDP port %u (%s); the server will not be announced", port,
        std::strerror(errno));
    ::close(sock);
    return -1;
  }
  return sock;
}

}  // namespace

std::string BuildAnnouncement(const std::string& machineName) {
  char datagram[140];
  int n = machineName.size() < 128
              ? std::snprintf(datagram, sizeof datagram, "BC%3u%s",
                              static_cast<unsigned>(machineName.size()), machineName.c_str())
              : std::snprintf(datagram, sizeof datagram, "BC%3lu%s", 8ul, "Mac OS X");
  return std::string(datagram, static_cast<size_t>(n));
}

Discovery::Discovery(DiscoveryOptions options)
    : options_(std::move(options)), limits_(options_.rates, options_.interfaces, options_.clock) {
  if (options_.announceTo.empty()) {
    options_.announceTo = {Endpoint("224.3.2.1", 3111), Endpoint("255.255.255.255", 2008)};
  }
  if (options_.port != 0) sock_ = OpenDiscoverySocket(options_.port);
}

Discovery::~Discovery() {
  if (sock_ >= 0) ::close(sock_);
}

void Discovery::SendTo(const std::string& datagram, const sockaddr_in& to) {
  if (::sendto(sock_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to) < 0) {
    static LogOnce once;
    if (once.First()) Log("discovery: announcement not sent (%s)", std::strerror(errno));
  }
}

void Discovery::Register(EventLoop& loop) {
  if (sock_ < 0) return;
  loop.Watch(sock_, kReadable, [this](int, unsigned) { AnswerProbe(); });
  loop.AddTimer(options_.announceIntervalMs, [this] {
    Announce();
    return static_cast<long>(options_.announceIntervalMs);
  });
}

void Discovery::Announce() {
  std::string datagram = BuildAnnouncement(platform::GetHost().MachineName());
  for (const sockaddr_in& to : options_.announceTo) SendTo(datagram, to);
}

void Discovery::AnswerProbe() {
  char datagram[128];
  sockaddr_in from{};
  socklen_t fromLen = sizeof from;
  ssize_t n =
      ::recvfrom(sock_, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
  constexpr size_t kProbeLen = sizeof kProbeText - 1;
  if (n != static_cast<ssize_t>(kProbeLen) || std::memcmp(datagram, kProbeText, kProbeLen) != 0) {
    return;
  }
  if (from.sin_family != AF_INET) return;
  const std::optional<security::IpAddress> peer =
      security::IpAddress::FromSockaddr(reinterpret_cast<const sockaddr*>(&from), fromLen);
  if (!peer) return;
  const security::DiscoveryLimits::Decision decision = limits_.Decide(*peer);
  if (decision.log) {
    Log("discovery: %s", security::DiscoveryLimits::Describe(decision.verdict, *peer).c_str());
  }
  if (decision.verdict != security::DiscoveryLimits::Verdict::kReply) return;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr = from.sin_addr;
  to.sin_port = htons(options_.probeReplyPort);
  SendTo(BuildAnnouncement(platform::GetHost().MachineName()), to);
}

bool ParseAnnounceTarget(const std::string& text, sockaddr_in& out) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon + 1 >= text.size()) return false;
  std::string address = text.substr(0, colon);
  std::string port = text.substr(colon + 1);
  if (port.find_first_not_of("0123456789") != std::string::npos) return false;
  int value = ParseDecimal(port.c_str());
  if (value <= 0 || value > 65535) return false;
  out = sockaddr_in{};
  out.sin_family = AF_INET;
  out.sin_port = htons(static_cast<uint16_t>(value));
  return ::inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

}  // namespace hovra
