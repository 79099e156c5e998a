// Whether a peer is on a network this computer is directly attached to: a link-local
// address, or an address inside the subnet of one of the local interfaces (loopback
// included). Discovery answers only such peers, so that the server cannot be made to send
// its replies across routers to a forged address. The interface list is plain data, so a
// test can describe any computer.
//   LocalNetworks local;                       // this computer's interfaces, re-read now and then
//   if (!local.Contains(*peer)) return;        // not answered
#pragma once

#include <chrono>
#include <functional>
#include <span>
#include <vector>

#include "base/rate_limit.h"
#include "server/security/ip_address.h"

namespace hovra::security {

struct LocalNetwork {
  IpAddress address;    // the interface's own address (or a point-to-point peer's)
  size_t prefixLength;  // of its netmask: 24 for 255.255.255.0
};

// The networks of the interfaces that are up (getifaddrs).
std::vector<LocalNetwork> LocalNetworksFromInterfaces();

// A peer address that can never be a single host on a local network (unspecified,
// multicast, limited broadcast, or the network or broadcast address of a local IPv4
// subnet) is not directly connected: a reply sent there would go to many hosts or none.
bool IsDirectlyConnected(const IpAddress& peer, std::span<const LocalNetwork> networks);

inline constexpr std::chrono::seconds kInterfaceRefresh{30};  // interfaces come and go

class LocalNetworks {
 public:
  using Provider = std::function<std::vector<LocalNetwork>()>;
  explicit LocalNetworks(Provider provider = LocalNetworksFromInterfaces,
                         std::chrono::milliseconds refresh = kInterfaceRefresh,
                         SteadyClock clock = RealSteadyClock());

  bool Contains(const IpAddress& peer);

 private:
  Provider provider_;
  std::chrono::milliseconds refresh_;
  SteadyClock clock_;
  bool loaded_ = false;
  SteadyTime loadedAt_{};
  std::vector<LocalNetwork> networks_;
};

}  // namespace hovra::security
