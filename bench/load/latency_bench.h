// The measurements over loopback against a running server: round trips of a "mos" frame
// and a "ping" line, one client's stream of frames, and 1,000 busy then idle clients.
#pragma once

#include <vector>

#include "bench/load/server_launch.h"

namespace hovra::bench {

// Round-trip times in microseconds of `iterations` sends of a frame and "ping" (each
// waiting for "echo"), after a warm-up; empty when the connection failed.
std::vector<double> MeasureRoundTrips(unsigned short port, int iterations, bool greeted);

// Streams `frames` "mos005m 1 1" frames and a "ping"; returns the seconds until "echo"
// arrived, or a negative number on failure.
double StreamFrames(unsigned short port, long frames);

struct ManyClientsFigures {
  int connected = 0;
  long framesSent = 0;
  std::vector<double> pingMicros;
  long pingsUnanswered = 0;
  long peakRssKiB = 0;
  double busyCpuShare = -1;  // of one core, while the clients send
  double idleCpuShare = -1;  // of one core, while every client is idle
};

// `clients` connections, each sending `rate` frames a second for `busySeconds` (every tenth
// one with a "ping"), then all of them idle for `idleSeconds`.
ManyClientsFigures MeasureManyClients(LaunchedServer& server, int clients, int rate, int busySeconds,
                                      int idleSeconds);

}  // namespace hovra::bench
