// The "mos" and "key" payload readers, the command table lookup and Base64.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_platform.h"
#include "catalogue/base64.h"
#include "input/held_input.h"
#include "input/wheel.h"
#include "server/command_table.h"
#include "server/frame_payloads.h"

namespace hovra::bench {
namespace {

void ReadMouse(benchmark::State& state, std::string_view payload) {
  BenchPlatform platform;
  HeldInput held;
  for (auto _ : state) {
    ReadMousePayload(payload.data(), static_cast<int>(payload.size()), held);
    CommitMouseWheel();
  }
  held.ReleaseAll();
  state.SetItemsProcessed(state.iterations());
}

void ReadKeys(benchmark::State& state, std::string_view payload) {
  BenchPlatform platform;
  HeldInput held;
  for (auto _ : state) ReadKeyPayload(payload.data(), static_cast<int>(payload.size()), held);
  held.ReleaseAll();
  state.SetItemsProcessed(state.iterations());
}

void BM_MousePayloadMove(benchmark::State& state) { ReadMouse(state, "m 1 1"); }
void BM_MousePayloadPressRelease(benchmark::State& state) { ReadMouse(state, "R l d R l u"); }
void BM_MousePayloadWheel(benchmark::State& state) { ReadMouse(state, "w 1"); }
void BM_KeyPayloadLetter(benchmark::State& state) { ReadKeys(state, "a"); }
void BM_KeyPayloadNamedKey(benchmark::State& state) { ReadKeys(state, "RTN"); }
void BM_KeyPayloadCombination(benchmark::State& state) { ReadKeys(state, "CTRL[+]c"); }

BENCHMARK(BM_MousePayloadMove);
BENCHMARK(BM_MousePayloadPressRelease);
BENCHMARK(BM_MousePayloadWheel);
BENCHMARK(BM_KeyPayloadLetter);
BENCHMARK(BM_KeyPayloadNamedKey);
BENCHMARK(BM_KeyPayloadCombination);

void Lookup(benchmark::State& state, std::string_view line) {
  for (auto _ : state) benchmark::DoNotOptimize(MatchCommand(line));
  state.SetItemsProcessed(state.iterations());
}

void BM_MatchCommandFirstRow(benchmark::State& state) { Lookup(state, "zoomin"); }
void BM_MatchCommandLastRow(benchmark::State& state) { Lookup(state, "openfile /tmp/a.txt"); }
void BM_MatchCommandPing(benchmark::State& state) { Lookup(state, "ping"); }
void BM_MatchCommandUnknown(benchmark::State& state) { Lookup(state, "nosuchcommand at all"); }

BENCHMARK(BM_MatchCommandFirstRow);
BENCHMARK(BM_MatchCommandLastRow);
BENCHMARK(BM_MatchCommandPing);
BENCHMARK(BM_MatchCommandUnknown);

std::vector<uint8_t> RandomBytes(size_t count) {
  std::mt19937 random(1978);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void BM_Base64Encode(benchmark::State& state) {
  const auto bytes = RandomBytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(catalogue::base64EncodedString(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_Base64Decode(benchmark::State& state) {
  const std::string text =
      catalogue::base64EncodedString(RandomBytes(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(catalogue::dataFromBase64String(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// 48 KiB is about the size of a 128x128 icon's PNG.
BENCHMARK(BM_Base64Encode)->Arg(1024)->Arg(48 * 1024);
BENCHMARK(BM_Base64Decode)->Arg(1024)->Arg(48 * 1024);

}  // namespace
}  // namespace hovra::bench
