// The measurements over loopback against a running server: round trips of a "mos" frame
// and a "ping" line, one client's stream of frames, and 1,000 busy then idle clients.
#pragma once

#include <vector>

#include "bench/load/server_launch.h"

namespace hovra::bench {

struct RoundTrips {
  std::vector<double> server;  // microseconds
  std::vector<double> echo;
};

// Round-trip times of `iterations` sends of a frame and "ping" (each waiting for "echo")
// to the server and to the bare echo server, in alternating blocks so that both see the
// same conditions; after a warm-up. Empty when a connection failed.
RoundTrips MeasureRoundTrips(unsigned short serverPort, unsigned short echoPort, int iterations);

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
ManyClientsFigures MeasureManyClients(LaunchedServer& server, int clients, int rate,
                                      int busySeconds, int idleSeconds);

}  // namespace hovra::bench
