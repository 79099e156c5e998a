// The measurements over loopback against a running server: round trips of a "mos" frame
// and a "ping" line, one client's stream of frames, and 1,000 busy then idle clients.
#pragma once

#include <string>
#include <vector>

#include "tests/support/server_process.h"

namespace hovra::bench {

using LaunchedServer = testing::ServerProcess;

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
// one with a "ping"), then all of them idle for `idleSeconds` (0: not measured). Each text
// of `nonReaderAsks` is sent by a client of its own that never reads, before the busy time.
ManyClientsFigures MeasureManyClients(LaunchedServer& server, int clients, int rate,
                                      int busySeconds, int idleSeconds,
                                      const std::vector<std::string>& nonReaderAsks = {});

struct IdleFigures {
  int connected = 0;
  double idleCpuShare = -1;  // of one core
  long rssKiB = -1;          // resident memory with every client connected
};

// `clients` connections that are greeted and then say nothing for `idleSeconds`.
IdleFigures MeasureIdleClients(LaunchedServer& server, int clients, int idleSeconds);

}  // namespace hovra::bench
