// One client's round trips and stream.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "bench/load/latency_bench.h"
#include "bench/load/loopback.h"

namespace hovra::bench {
namespace {

constexpr char kFrameAndPing[] = "mos005m 1 1ping\n";
constexpr int kWarmUp = 1000;

}  // namespace

namespace {

class RoundTripper {
 public:
  RoundTripper(unsigned short port, bool greeted) : fd_(ConnectLoopback(port)) {
    if (fd_ >= 0 && greeted && !ReadUntil(fd_, "\n", pending_)) Close();
  }
  ~RoundTripper() { Close(); }
  RoundTripper(const RoundTripper&) = delete;
  RoundTripper& operator=(const RoundTripper&) = delete;
  bool Ok() const { return fd_ >= 0; }

  // Runs `count` round trips, adding their times to `micros` when given.
  bool Run(int count, std::vector<double>* micros) {
    for (int i = 0; i < count; ++i) {
      const auto start = std::chrono::steady_clock::now();
      if (!SendAll(fd_, kFrameAndPing) || !ReadUntil(fd_, "echo", pending_)) return false;
      const auto took = std::chrono::steady_clock::now() - start;
      if (micros != nullptr)
        micros->push_back(std::chrono::duration<double, std::micro>(took).count());
    }
    return true;
  }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
  std::string pending_;
};

constexpr int kBlock = 500;

}  // namespace

RoundTrips MeasureRoundTrips(unsigned short serverPort, unsigned short echoPort, int iterations) {
  RoundTrips trips;
  RoundTripper server(serverPort, true), echo(echoPort, false);
  if (!server.Ok() || !echo.Ok() || !server.Run(kWarmUp, nullptr) || !echo.Run(kWarmUp, nullptr))
    return {};
  for (int done = 0; done < iterations; done += kBlock) {
    const int count = std::min(kBlock, iterations - done);
    if (!server.Run(count, &trips.server) || !echo.Run(count, &trips.echo)) return {};
  }
  return trips;
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
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  return ok ? seconds : -1;
}

}  // namespace hovra::bench
