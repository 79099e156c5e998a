// Framing: bytes handed to ReceiveBytes on an in-process server, cut into
// frames and lines and carried out, in reads of the size a socket read gives.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "bench/bench_platform.h"
#include "server/framing.h"
#include "server/hovra_svr_sock.h"

namespace hovra::bench {
namespace {

constexpr size_t kReadBytes = 8192;

std::string Repeat(const std::string& unit, size_t count) {
  std::string text;
  text.reserve(unit.size() * count);
  for (size_t i = 0; i < count; ++i) text += unit;
  return text;
}

// Feeds `stream` in reads of kReadBytes, `count` messages per pass; replies are drained.
void FeedStream(benchmark::State& state, const std::string& unit) {
  BenchPlatform platform;
  ServerOptions options;
  options.discovery.port = 0;
  CHovraSvrSock server("0.0.0.0", 0, options);
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair) != 0) {
    state.SkipWithError("socketpair failed");
    return;
  }
  auto client = std::make_unique<_MouseClnt>();
  client->sock = pair[0];
  const size_t count = kReadBytes / unit.size();
  const std::string stream = Repeat(unit, count);
  char sink[65536];
  for (auto _ : state) {
    for (size_t at = 0; at < stream.size(); at += kReadBytes) {
      const size_t n = std::min(kReadBytes, stream.size() - at);
      benchmark::DoNotOptimize(ReceiveBytes(*client, stream.data() + at, n));
    }
    while (::recv(pair[1], sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    platform.MainQueue().RunPending();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
  client->held.ReleaseAll();
  ::close(pair[0]);
  ::close(pair[1]);
}

void BM_FramingMouseMove(benchmark::State& state) { FeedStream(state, "mos005m 1 1"); }
void BM_FramingKeyLetter(benchmark::State& state) { FeedStream(state, "key001a"); }
void BM_FramingPingLine(benchmark::State& state) { FeedStream(state, "ping\n"); }
void BM_FramingUnknownLine(benchmark::State& state) { FeedStream(state, "nosuchcommand\n"); }

BENCHMARK(BM_FramingMouseMove);
BENCHMARK(BM_FramingKeyLetter);
BENCHMARK(BM_FramingPingLine);
BENCHMARK(BM_FramingUnknownLine);

}  // namespace
}  // namespace hovra::bench
