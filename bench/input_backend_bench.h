// What the input backend benchmarks (bench_x11, bench_wayland) measure, the same way for
// every backend: events posted per second (keys, pointer moves, typed text, each finished
// by `finish` so that the desktop has carried them out), and the time from a "mos" frame
// written to the server's loopback socket until `waitForX` has seen the pointer arrive.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/event_services.h"
#include "tests/support/socket_client.h"

namespace hovra::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Posts `count` events of one kind; `finish` waits until they have taken effect.
inline double EventsPerSecond(long count, const std::function<void(long)>& post,
                              const std::function<void()>& finish) {
  Clock::time_point start = Clock::now();
  for (long i = 0; i < count; ++i) post(i);
  finish();
  return static_cast<double>(count) / Seconds(Clock::now() - start);
}

struct Rates {
  double keys = 0;
  double moves = 0;
  double text = 0;
};

inline Rates MeasureRates(platform::EventServices& events, long count,
                          const std::function<void()>& finish) {
  static const char16_t kAccented[] = u"\u00e9";  // absent from a US map: typed on a spare key
  Rates rates;
  rates.keys = EventsPerSecond(
      count,
      [&](long i) {
        events.PostKey({.code = 0,
                        .down = i % 2 == 0,
                        .source = platform::EventSource::kNone,
                        .flags = {},
                        .unicode = {}});
      },
      finish);
  rates.moves = EventsPerSecond(
      count,
      [&](long i) {
        events.PostMouse({.type = platform::kMouseMoved,
                          .position = {static_cast<double>(i % 1000), static_cast<double>(i % 700)},
                          .button = 0,
                          .clickState = {}});
      },
      finish);
  rates.text = EventsPerSecond(
      count,
      [&](long i) {
        events.PostKey({.code = 1,
                        .down = i % 2 == 0,
                        .source = platform::EventSource::kNone,
                        .flags = 0,
                        .unicode = std::u16string_view(kAccented, 1)});
      },
      finish);
  return rates;
}

struct Latency {
  double median = 0;
  double p99 = 0;
};

// Sends "mos" frames one at a time, each moving the pointer one pixel right or left, and
// waits until `waitForX` has seen the pointer arrive at the new x.
inline Latency FrameToPointer(unsigned short port, int frames, double x,
                              const std::function<void(double)>& waitForX) {
  testing::SocketClient client(port);
  if (!client.Connected()) return {};
  client.NoDelay();
  std::vector<double> micros;
  for (int i = 0; i < frames; ++i) {
    const char* frame = i % 2 == 0 ? "mos005m 1 0" : "mos006m -1 0";
    double target = x + (i % 2 == 0 ? 1 : -1);
    Clock::time_point start = Clock::now();
    if (!client.Send(frame)) break;
    waitForX(target);
    micros.push_back(Seconds(Clock::now() - start) * 1e6);
    x = target;
  }
  if (micros.empty()) return {};
  std::sort(micros.begin(), micros.end());
  return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

// The table both benchmarks print: the journal's column beside the backend's.
inline void PrintRates(const char* backend, const Rates& journal, const Rates& other,
                       const Latency& journalLatency, const Latency& otherLatency) {
  std::printf("%-34s %14s %14s\n", "", "journal", backend);
  std::printf("%-34s %14.0f %14.0f\n", "key events per second", journal.keys, other.keys);
  std::printf("%-34s %14.0f %14.0f\n", "pointer moves per second", journal.moves, other.moves);
  std::printf("%-34s %14.0f %14.0f\n", "text events per second", journal.text, other.text);
  std::printf("%-34s %14.1f %14.1f\n", "\"mos\" frame to pointer, median us", journalLatency.median,
              otherLatency.median);
  std::printf("%-34s %14.1f %14.1f\n", "\"mos\" frame to pointer, p99 us", journalLatency.p99,
              otherLatency.p99);
}

}  // namespace hovra::bench
