// How many connections the server keeps and for how long one may stay without the PIN.
// Beyond a cap a new connection is closed at once, without a greeting, so that one
// source cannot take the descriptors every other client needs.
#pragma once

#include <chrono>
#include <cstddef>
#include <unordered_map>

#include "server/security/ip_address.h"

namespace hovra {

using namespace std::chrono_literals;

// Well above what any household of phones opens, below what a raised descriptor limit
// allows; each idle connection costs a few KiB.
inline constexpr size_t kMostConnections = 16384;
// Connections that still owe the PIN, per source (an IPv4 address, an IPv6 /64). A phone
// opens one; a few more cover reconnects the server has not yet seen end.
inline constexpr size_t kMostUnverifiedPerSource = 16;
// A connection that owes the PIN and has not given it by then is closed.
inline constexpr std::chrono::milliseconds kUnverifiedLimit = 120s;
// How often the server looks whether protection was turned on elsewhere (the shell, the
// menu, an edited settings file): one stat() of the settings file each time.
inline constexpr std::chrono::milliseconds kProtectionPoll = 1s;

struct ConnectionLimits {
  size_t mostConnections = kMostConnections;
  size_t mostUnverifiedPerSource = kMostUnverifiedPerSource;
  std::chrono::milliseconds unverifiedLimit = kUnverifiedLimit;
  std::chrono::milliseconds protectionPoll = kProtectionPoll;
};

// The connections per source that owe the PIN.
class UnverifiedCounts {
 public:
  size_t Of(const security::SourceKey& source) const {
    auto found = counts_.find(source);
    return found == counts_.end() ? 0 : found->second;
  }
  void Add(const security::SourceKey& source) { ++counts_[source]; }
  void Remove(const security::SourceKey& source) {
    auto found = counts_.find(source);
    if (found == counts_.end()) return;
    if (--found->second == 0) counts_.erase(found);
  }

 private:
  std::unordered_map<security::SourceKey, size_t> counts_;
};

}  // namespace hovra
