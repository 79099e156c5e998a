// LAN discovery: the UDP socket that announces the computer about every three seconds and
// answers the search probe with the same announcement, sent straight back. It runs on the
// worker's event loop: one probe read per readable pass, the announcement on a timer.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <vector>

#include "server/security/discovery_limits.h"

namespace hovra {

inline constexpr char kProbeText[] = "hovra server search";  // exactly 19 bytes, no terminator
inline constexpr uint16_t kDiscoveryPort = 2007;
inline constexpr uint16_t kProbeReplyPort = 2008;
inline constexpr unsigned kAnnounceIntervalMs = 3000;

struct DiscoveryOptions {
  uint16_t port = kDiscoveryPort;  // local binding; 0 turns discovery off
  // Where announcements go; empty means 224.3.2.1:3111 and 255.255.255.255:2008.
  std::vector<sockaddr_in> announceTo;
  uint16_t probeReplyPort = kProbeReplyPort;
  // Which probes are answered: sources on a directly connected network, a few a second.
  security::DiscoveryRates rates;
  security::LocalNetworks::Provider interfaces = security::LocalNetworksFromInterfaces;
  SteadyClock clock = RealSteadyClock();
  unsigned announceIntervalMs = kAnnounceIntervalMs;  // shorter only in tests
};

// "BC", the name's byte length right-aligned in three characters, the name. A name of
// 128 UTF-8 bytes or more is replaced by "Mac OS X".
std::string BuildAnnouncement(const std::string& machineName);

class EventLoop;

class Discovery {
 public:
  explicit Discovery(DiscoveryOptions options);
  ~Discovery();
  Discovery(const Discovery&) = delete;
  Discovery& operator=(const Discovery&) = delete;

  int Socket() const { return sock_; }  // -1 when discovery is off or failed to open
  // Watches the socket for probes and announces every announceIntervalMs, the first time
  // that long after this call. Nothing when the socket is not open.
  void Register(EventLoop& loop);
  void Announce();
  // Reads one datagram; answers it when it is the probe and the limits allow.
  void AnswerProbe();

 private:
  void SendTo(const std::string& datagram, const sockaddr_in& to);

  DiscoveryOptions options_;
  security::DiscoveryLimits limits_;
  int sock_ = -1;
};

// Parses "ADDRESS:PORT" (IPv4) for --announce; false when it is not one.
bool ParseAnnounceTarget(const std::string& text, sockaddr_in& out);

}  // namespace hovra
