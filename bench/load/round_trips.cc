// One client's round trips and stream.
#include <algorithm>
#include <chrono>
#include <string>

#include "bench/load/latency_bench.h"
#include "tests/support/socket_client.h"

namespace hovra::bench {
namespace {

using namespace std::chrono_literals;

constexpr char kFrameAndPing[] = "mos005m 1 1ping\n";
constexpr int kWarmUp = 1000;

}  // namespace

namespace {

// A client that times round trips of a frame and a "ping" until the "echo".
class RoundTripper {
 public:
  RoundTripper(unsigned short port, bool greeted) : client_(port) {
    client_.NoDelay();
    if (greeted && client_.ReadUntil("\n", 30s).empty()) client_.Close();
  }
  bool Ok() const { return client_.Connected(); }

  // Runs `count` round trips, adding their times to `micros` when given.
  bool Run(int count, std::vector<double>* micros) {
    for (int i = 0; i < count; ++i) {
      const auto start = std::chrono::steady_clock::now();
      if (!client_.Send(kFrameAndPing) || !client_.ReadUntil("echo", 30s).ends_with("echo"))
        return false;
      const auto took = std::chrono::steady_clock::now() - start;
      if (micros != nullptr)
        micros->push_back(std::chrono::duration<double, std::micro>(took).count());
    }
    return true;
  }

 private:
  testing::SocketClient client_;
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
  testing::SocketClient client = testing::SocketClient::Greeted(port);
  if (!client.Connected()) return -1;
  constexpr long kFramesPerChunk = 8192;
  std::string chunk;
  for (long i = 0; i < kFramesPerChunk; ++i) chunk += "mos005m 1 1";
  const auto start = std::chrono::steady_clock::now();
  bool ok = true;
  for (long sent = 0; ok && sent < frames; sent += kFramesPerChunk) {
    const long count = std::min(kFramesPerChunk, frames - sent);
    ok = client.Send(std::string_view(chunk).substr(0, static_cast<size_t>(count) * 11));
  }
  ok = ok && client.Send("ping\n") && client.ReadUntil("echo", 300s).ends_with("echo");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return ok ? seconds : -1;
}

}  // namespace hovra::bench
