// Who is connected, for the address window: the peer address of every client.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

#include "server/hovra_svr_sock.h"

namespace hovra {
namespace {

// IPv4 clients reach the dual-stack listener as IPv4-mapped IPv6; they are shown as IPv4.
std::string PeerAddress(const sockaddr_storage& peer) {
  char text[INET6_ADDRSTRLEN] = {};
  const char* done = nullptr;
  if (peer.ss_family == AF_INET6) {
    sockaddr_in6 v6{};
    std::memcpy(&v6, &peer, sizeof v6);
    done = IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)
               ? ::inet_ntop(AF_INET, &v6.sin6_addr.s6_addr[12], text, sizeof text)
               : ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
  } else if (peer.ss_family == AF_INET) {
    sockaddr_in v4{};
    std::memcpy(&v4, &peer, sizeof v4);
    done = ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
  }
  return done ? text : "";
}

}  // namespace

void CHovraSvrSock::TableChanged() {
  std::vector<std::string> addresses;
  addresses.reserve(clients.size());
  for (const auto& [sock, client] : clients) {
    std::string address = PeerAddress(client->peer);
    if (!address.empty()) addresses.push_back(std::move(address));
  }
  std::lock_guard<std::mutex> lock(peersMutex_);
  peerAddresses_ = std::move(addresses);
  clientCount_.store(clients.size(), std::memory_order_relaxed);
}

std::vector<std::string> CHovraSvrSock::ConnectedPeerAddresses() const {
  std::lock_guard<std::mutex> lock(peersMutex_);
  return peerAddresses_;
}

}  // namespace hovra
