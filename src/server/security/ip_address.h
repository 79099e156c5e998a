// A peer's address as the security checks see it: IPv4, or IPv6 with its interface for
// link-local addresses. An IPv4 client on the dual-stack listener (::ffff:a.b.c.d) is
// plain IPv4 here.
//   std::optional<IpAddress> peer = IpAddress::FromSockaddr(addr, len);
//   SourceKey source = SourceKeyOf(*peer);   // what penalties and limits are counted by
#pragma once

#include <sys/socket.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace hovra::security {

struct IpAddress {
  bool v4 = true;
  std::array<uint8_t, 16> bytes{};  // IPv4 in the first four
  uint32_t scope = 0;               // interface index of an IPv6 link-local address

  static std::optional<IpAddress> FromSockaddr(const sockaddr* address, socklen_t length);
  // "192.168.1.5", "2001:db8::1"; nothing when the text is no address.
  static std::optional<IpAddress> Parse(std::string_view text);

  std::string Text() const;
  size_t Bits() const { return v4 ? 32 : 128; }
  bool IsLoopback() const;
  bool IsLinkLocal() const;  // 169.254.0.0/16, fe80::/10
  // Whether the first `prefixLength` bits equal those of `network` (same family).
  bool InPrefix(const IpAddress& network, size_t prefixLength) const;
  bool operator==(const IpAddress& other) const = default;
};

// Where wrong answers and probes are counted: an IPv4 address, or the /64 network of an
// IPv6 address (one host holds a whole /64 and picks addresses in it at will).
struct SourceKey {
  IpAddress network;         // host bits of IPv6 zero
  std::string Text() const;  // "192.168.1.5", "2001:db8:1:2::/64"
  bool operator==(const SourceKey& other) const = default;
};

inline constexpr size_t kIpv6SourcePrefixBits = 64;

SourceKey SourceKeyOf(const IpAddress& address);

struct SourceKeyHash {
  size_t operator()(const SourceKey& key) const;
};

}  // namespace hovra::security

template <>
struct std::hash<hovra::security::SourceKey> : hovra::security::SourceKeyHash {};
