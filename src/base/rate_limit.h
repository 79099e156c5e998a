// Limits on how often something may happen, for floods from the network: a log line a
// client can provoke, a reply a probe can draw. Each takes its clock as a function so that
// a test can step time instead of waiting for it.
//   LineRateLimiter wrongPin(1.0, 5);           // 5 lines at once, then one a second
//   uint64_t held = 0;
//   if (wrongPin.Allow(held)) Log("wrong PIN (%llu more not logged)", held);
//   KeyedRateLimiter<SourceKey> perSource(2.0, 4, 4096);
//   if (perSource.Allow(source)) Reply();
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace hovra {

using SteadyTime = std::chrono::steady_clock::time_point;
using SteadyClock = std::function<SteadyTime()>;

inline SteadyClock RealSteadyClock() {
  return [] { return std::chrono::steady_clock::now(); };
}

// `burst` events at once, then `perSecond` on average: a bucket of tokens that refills
// continuously and holds at most `burst`.
class TokenBucket {
 public:
  TokenBucket(double perSecond, double burst, SteadyTime now)
      : perSecond_(perSecond), burst_(burst), tokens_(burst), last_(now) {}

  // Takes one token; false (and nothing taken) when the bucket is empty.
  bool Take(SteadyTime now);

 private:
  double perSecond_;
  double burst_;
  double tokens_;
  SteadyTime last_;
};

// Lines of one kind: `burst` at once, then `perSecond`. The lines held back are counted so
// that the next line written can say how many there were. Thread-safe.
class LineRateLimiter {
 public:
  LineRateLimiter(double perSecond, double burst, SteadyClock clock = RealSteadyClock());

  // Whether to write the line now. When it is, `held` is the number of lines held back
  // since the last one written (and the count starts again).
  bool Allow(uint64_t& held);

 private:
  std::mutex mutex_;
  SteadyClock clock_;
  TokenBucket bucket_;
  uint64_t held_ = 0;
};

// One bucket per key (a source address, a client), remembering at most `maxKeys`: when a
// new key comes and the table is full, the key used longest ago is forgotten. That bounds
// the memory a flood of ever new keys can take; what limits such a flood is a global
// bucket beside this one. Thread-safe.
template <typename Key, typename Hash = std::hash<Key>>
class KeyedRateLimiter {
 public:
  KeyedRateLimiter(double perSecond, double burst, size_t maxKeys,
                   SteadyClock clock = RealSteadyClock())
      : perSecond_(perSecond), burst_(burst), maxKeys_(maxKeys), clock_(std::move(clock)) {}

  bool Allow(const Key& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    SteadyTime now = clock_();
    auto found = index_.find(key);
    if (found != index_.end()) {
      order_.splice(order_.begin(), order_, found->second);  // most recently used first
      return found->second->second.Take(now);
    }
    if (maxKeys_ == 0) return false;
    if (index_.size() >= maxKeys_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
    order_.emplace_front(key, TokenBucket(perSecond_, burst_, now));
    index_.emplace(key, order_.begin());
    return order_.front().second.Take(now);
  }

  size_t Size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return index_.size();
  }

 private:
  using Entry = std::pair<Key, TokenBucket>;
  double perSecond_;
  double burst_;
  size_t maxKeys_;
  SteadyClock clock_;
  std::mutex mutex_;
  std::list<Entry> order_;
  std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> index_;
};

// Something that happens in bursts and is reported once per burst: an episode begins with
// the first occurrence and ends once `quiet` has passed without one. Thread-safe.
class Episode {
 public:
  explicit Episode(std::chrono::milliseconds quiet, SteadyClock clock = RealSteadyClock())
      : quiet_(quiet), clock_(std::move(clock)) {}

  // Records an occurrence; true when it begins a new episode (report it then).
  bool Note();
  // Whether an episode is going on now.
  bool Active();

 private:
  std::mutex mutex_;
  std::chrono::milliseconds quiet_;
  SteadyClock clock_;
  bool seen_ = false;
  SteadyTime last_{};
};

}  // namespace hovra
