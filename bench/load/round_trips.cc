// One client's round trips and stream.
#include <unistd.h>

#include <chrono>
#include <string>

#include "bench/load/latency_bench.h"
#include "bench/load/loopback.h"

namespace hovra::bench {
namespace {

constexpr char kFrameAndPing[] = "mos005m 1 1ping\n";
constexpr int kWarmUp = 1000;

}  // namespace

std::vector<double> MeasureRoundTrips(unsigned short port, int iterations, bool greeted) {
  std::vector<double> micros;
  int fd = ConnectLoopback(port);
  if (fd < 0) return micros;
  std::string pending;
  if (greeted && !ReadUntil(fd, "\n", pending)) {
    ::close(fd);
    return micros;
  }
  micros.reserve(static_cast<size_t>(iterations));
  for (int i = 0; i < kWarmUp + iterations; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!SendAll(fd, kFrameAndPing) || !ReadUntil(fd, "echo", pending)) {
      micros.clear();
      break;
    }
    const auto took = std::chrono::steady_clock::now() - start;
    if (i >= kWarmUp) micros.push_back(std::chrono::duration<double, std::micro>(took).count());
  }
  ::close(fd);
  return micros;
}

double StreamFrames(unsigned short port, long frames) {
  int fd = ConnectLoopback(port);
  if (fd < 0) return -1;
  std::string pending;
  if (!ReadUntil(fd, "\n", pending)) {
    ::close(fd);
    return -1;
  }
  constexpr long kFramesPerChunk = 8192;
  std::string chunk;
  for (long i = 0; i < kFramesPerChunk; ++i) chunk += "mos005m 1 1";
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (long sent = 0; ok && sent < frames; sent += kFramesPerChunk) {
    const long count = std::min(kFramesPerChunk, frames - sent);
    ok = SendAll(fd, std::string_view(chunk).substr(0, static_cast<size_t>(count) * 11));
  }
  ok = ok && SendAll(fd, "ping\n") && ReadUntil(fd, "echo", pending, 300);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  return ok ? seconds : -1;
}

}  // namespace hovra::bench
