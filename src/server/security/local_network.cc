#include "server/security/local_network.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <bit>
#include <cstring>

namespace hovra::security {
namespace {

size_t PrefixLengthOf(const sockaddr* mask) {
  if (mask == nullptr) return 0;
  const uint8_t* bytes = nullptr;
  size_t count = 0;
  if (mask->sa_family == AF_INET) {
    bytes = reinterpret_cast<const uint8_t*>(&reinterpret_cast<const sockaddr_in*>(mask)->sin_addr);
    count = 4;
  } else if (mask->sa_family == AF_INET6) {
    bytes =
        reinterpret_cast<const uint8_t*>(&reinterpret_cast<const sockaddr_in6*>(mask)->sin6_addr);
    count = 16;
  }
  size_t length = 0;
  for (size_t i = 0; i < count; ++i) length += static_cast<size_t>(std::popcount(bytes[i]));
  return length;
}

socklen_t LengthOf(const sockaddr* address) {
  return address->sa_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
}

bool IsMulticastOrUnspecified(const IpAddress& peer) {
  if (peer.v4) {
    uint32_t all = 0;
    for (size_t i = 0; i < 4; ++i) all = (all << 8) | peer.bytes[i];
    return all == 0 || all == 0xFFFFFFFFu || (peer.bytes[0] & 0xF0) == 0xE0;
  }
  if (peer.bytes[0] == 0xFF) return true;
  for (uint8_t byte : peer.bytes) {
    if (byte != 0) return false;
  }
  return true;
}

// The all-zero or all-one host part of an IPv4 subnet wider than a point-to-point link.
bool IsSubnetEdge(const IpAddress& peer, size_t prefixLength) {
  if (!peer.v4 || prefixLength >= 31) return false;
  bool allZero = true;
  bool allOne = true;
  for (size_t bit = prefixLength; bit < 32; ++bit) {
    bool set = (peer.bytes[bit / 8] >> (7 - bit % 8)) & 1;
    allZero &= !set;
    allOne &= set;
  }
  return allZero || allOne;
}

}  // namespace

std::vector<LocalNetwork> LocalNetworksFromInterfaces() {
  std::vector<LocalNetwork> networks;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return networks;
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || !(it->ifa_flags & IFF_UP)) continue;
    int family = it->ifa_addr->sa_family;
    if (family != AF_INET && family != AF_INET6) continue;
    if (auto own = IpAddress::FromSockaddr(it->ifa_addr, LengthOf(it->ifa_addr))) {
      networks.push_back({*own, PrefixLengthOf(it->ifa_netmask)});
    }
    // The far end of a point-to-point link is attached directly as well.
    if ((it->ifa_flags & IFF_POINTOPOINT) && it->ifa_dstaddr != nullptr &&
        it->ifa_dstaddr->sa_family == family) {
      if (auto peer = IpAddress::FromSockaddr(it->ifa_dstaddr, LengthOf(it->ifa_dstaddr))) {
        networks.push_back({*peer, peer->Bits()});
      }
    }
  }
  ::freeifaddrs(list);
  return networks;
}

bool IsDirectlyConnected(const IpAddress& peer, std::span<const LocalNetwork> networks) {
  if (IsMulticastOrUnspecified(peer)) return false;
  bool inside = peer.IsLinkLocal();
  for (const LocalNetwork& network : networks) {
    if (!peer.InPrefix(network.address, network.prefixLength)) continue;
    if (IsSubnetEdge(peer, network.prefixLength)) return false;
    inside = true;
  }
  return inside;
}

LocalNetworks::LocalNetworks(Provider provider, std::chrono::milliseconds refresh,
                             SteadyClock clock)
    : provider_(std::move(provider)), refresh_(refresh), clock_(std::move(clock)) {}

bool LocalNetworks::Contains(const IpAddress& peer) {
  SteadyTime now = clock_();
  if (!loaded_ || now - loadedAt_ >= refresh_) {
    networks_ = provider_();
    loaded_ = true;
    loadedAt_ = now;
  }
  return IsDirectlyConnected(peer, networks_);
}

}  // namespace hovra::security
