#include "server/security/ip_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace hovra::security {
namespace {

constexpr uint8_t kV4MappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

IpAddress FromV6Bytes(const uint8_t* raw, uint32_t scope) {
  IpAddress address;
  if (std::memcmp(raw, kV4MappedPrefix, sizeof kV4MappedPrefix) == 0) {
    std::memcpy(address.bytes.data(), raw + 12, 4);
    return address;
  }
  address.v4 = false;
  std::memcpy(address.bytes.data(), raw, 16);
  if (address.IsLinkLocal()) address.scope = scope;
  return address;
}

}  // namespace

std::optional<IpAddress> IpAddress::FromSockaddr(const sockaddr* address, socklen_t length) {
  if (address == nullptr) return std::nullopt;
  if (address->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
    sockaddr_in in4{};
    std::memcpy(&in4, address, sizeof in4);
    IpAddress result;
    std::memcpy(result.bytes.data(), &in4.sin_addr, 4);
    return result;
  }
  if (address->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))) {
    sockaddr_in6 in6{};
    std::memcpy(&in6, address, sizeof in6);
    return FromV6Bytes(in6.sin6_addr.s6_addr, in6.sin6_scope_id);
  }
  return std::nullopt;
}

std::optional<IpAddress> IpAddress::Parse(std::string_view text) {
  std::string copy(text);
  IpAddress address;
  if (::inet_pton(AF_INET, copy.c_str(), address.bytes.data()) == 1) return address;
  in6_addr in6{};
  if (::inet_pton(AF_INET6, copy.c_str(), &in6) == 1) return FromV6Bytes(in6.s6_addr, 0);
  return std::nullopt;
}

std::string IpAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = {};
  ::inet_ntop(v4 ? AF_INET : AF_INET6, bytes.data(), text, sizeof text);
  return text;
}

bool IpAddress::IsLoopback() const {
  if (v4) return bytes[0] == 127;
  static constexpr std::array<uint8_t, 16> kLoopback = {0, 0, 0, 0, 0, 0, 0, 0,
                                                        0, 0, 0, 0, 0, 0, 0, 1};
  return bytes == kLoopback;
}

bool IpAddress::IsLinkLocal() const {
  if (v4) return bytes[0] == 169 && bytes[1] == 254;
  return bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80;
}

bool IpAddress::InPrefix(const IpAddress& network, size_t prefixLength) const {
  if (v4 != network.v4 || prefixLength > Bits()) return false;
  size_t whole = prefixLength / 8;
  if (std::memcmp(bytes.data(), network.bytes.data(), whole) != 0) return false;
  size_t rest = prefixLength % 8;
  if (rest == 0) return true;
  auto mask = static_cast<uint8_t>(0xFF << (8 - rest));
  return (bytes[whole] & mask) == (network.bytes[whole] & mask);
}

SourceKey SourceKeyOf(const IpAddress& address) {
  SourceKey key{address};
  if (!address.v4) {
    for (size_t i = kIpv6SourcePrefixBits / 8; i < 16; ++i) key.network.bytes[i] = 0;
  }
  return key;
}

std::string SourceKey::Text() const {
  if (network.v4) return network.Text();
  std::string text = network.Text() + "/64";
  if (network.scope != 0) {
    text += '%';  // one append at a time: GCC's -O3 misreads a joined temporary as overlap
    text += std::to_string(network.scope);
  }
  return text;
}

size_t SourceKeyHash::operator()(const SourceKey& key) const {
  // FNV-1a over the bytes that make the key.
  uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](uint8_t byte) {
    hash ^= byte;
    hash *= 1099511628211ull;
  };
  mix(key.network.v4 ? 4 : 6);
  for (uint8_t byte : key.network.bytes) mix(byte);
  for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(key.network.scope >> shift));
  return static_cast<size_t>(hash);
}

}  // namespace hovra::security
