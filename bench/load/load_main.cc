// hovra_load_bench: the real server over loopback. Prints one tab-separated figure a line.
//   hovra_load_bench [--server PATH] [--only latency|throughput|many|hostile|idle]
//                    [--frames N] [--round-trips N] [--clients N] [--busy S] [--idle S]
//                    [--idle-clients N]
//   hovra_load_bench --stream N --wrapper "valgrind --tool=callgrind ..."   (instruction counts)
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/load/figures.h"
#include "bench/load/latency_bench.h"
#include "bench/load/loopback.h"

namespace hovra::bench {
namespace {

struct Settings {
  testing::ServerProcessOptions launch = [] {
    testing::ServerProcessOptions options;
    options.keepJournal = false;
    return options;
  }();
  std::string only;
  long frames = 1'000'000;
  int roundTrips = 20'000;
  int clients = 1000;
  int busySeconds = 10;
  int idleSeconds = 30;
  int idleClients = 10'000;
  int nonReaders = 10;
  long streamOnly = -1;  // just stream this many frames (under a wrapper) and stop
};

void RunLatency(LaunchedServer& server, int roundTrips) {
  EchoServer echo;
  const RoundTrips trips = MeasureRoundTrips(server.Port(), echo.Port(), roundTrips);
  const std::vector<double>& own = trips.server;
  const std::vector<double>& bare = trips.echo;
  if (own.empty() || bare.empty()) {
    PrintFigure("latency", "FAILED", "-", Verdict::kMissed);
    return;
  }
  const double ownP50 = Percentile(own, 0.5), bareP50 = Percentile(bare, 0.5);
  PrintFigure("latency: server p50", Format("%.1f us", ownP50));
  PrintFigure("latency: server p99", Format("%.1f us", Percentile(own, 0.99)));
  PrintFigure("latency: echo server p50", Format("%.1f us", bareP50));
  PrintFigure("latency: echo server p99", Format("%.1f us", Percentile(bare, 0.99)));
  PrintFigure("latency: p50 ratio server/echo", Format("%.2f", ownP50 / bareP50), "<= 1.5",
              Check(ownP50 / bareP50 <= 1.5));
}

void RunThroughput(LaunchedServer& server, long frames) {
  const double seconds = StreamFrames(server.Port(), frames);
  if (seconds <= 0) {
    PrintFigure("throughput", "FAILED", "-", Verdict::kMissed);
    return;
  }
  const double rate = static_cast<double>(frames) / seconds;
  PrintFigure("throughput: " + std::to_string(frames) + " frames", Format("%.3f s", seconds));
  PrintFigure("throughput: frames per second", Format("%.0f", rate), ">= 1000000",
              Check(rate >= 1e6));
}

void RunMany(LaunchedServer& server, const Settings& s) {
  ManyClientsFigures f = MeasureManyClients(server, s.clients, 100, s.busySeconds, s.idleSeconds);
  const double p99 = Percentile(f.pingMicros, 0.99);
  const double peakMiB = static_cast<double>(f.peakRssKiB) / 1024.0;
  PrintFigure("many: clients connected", std::to_string(f.connected), std::to_string(s.clients),
              Check(f.connected == s.clients));
  PrintFigure("many: frames sent", std::to_string(f.framesSent));
  PrintFigure("many: pings timed / unanswered",
              std::to_string(f.pingMicros.size()) + " / " + std::to_string(f.pingsUnanswered),
              "0 unanswered", Check(f.pingsUnanswered == 0 && !f.pingMicros.empty()));
  PrintFigure("many: ping p50", Format("%.0f us", Percentile(f.pingMicros, 0.5)));
  PrintFigure("many: ping p99", Format("%.0f us", p99), "< 5000 us",
              Check(!f.pingMicros.empty() && p99 < 5000));
  PrintFigure("many: server CPU while busy", Format("%.1f %% of a core", f.busyCpuShare * 100));
  PrintFigure("many: peak resident memory", Format("%.1f MiB", peakMiB), "< 64 MiB",
              Check(peakMiB < 64));
  PrintFigure("many: idle CPU, " + std::to_string(s.idleSeconds) + " s",
              Format("%.4f %% of a core", f.idleCpuShare * 100), "< 0.1 %",
              Check(f.idleCpuShare >= 0 && f.idleCpuShare < 0.001));
}

// A folder whose listing is about 60 KB, for large replies.
class BigFolder {
 public:
  BigFolder() {
    char pattern[] = "/tmp/hovra-bench-folder-XXXXXX";
    path_ = ::mkdtemp(pattern);
    for (int i = 0; i < 300; ++i)
      std::ofstream(path_ + "/" + std::to_string(1000 + i) + std::string(193, 'n'));
  }
  ~BigFolder() { std::filesystem::remove_all(path_); }
  std::string Request() const { return "fileexplorer " + path_ + "\n"; }

 private:
  std::string path_;
};

void RunHostile(LaunchedServer& server, const Settings& s) {
  BigFolder folder;
  std::string asks;
  for (int i = 0; i < 100; ++i) asks += folder.Request();  // about 6 MB of replies each
  const std::vector<std::string> nonReaders(static_cast<size_t>(s.nonReaders), asks);
  ManyClientsFigures f = MeasureManyClients(server, s.clients, 100, s.busySeconds, 0, nonReaders);
  const double p99 = Percentile(f.pingMicros, 0.99);
  const std::string who = std::to_string(s.clients) + " busy + " + std::to_string(s.nonReaders) +
                          " non-reading clients";
  PrintFigure("hostile: clients connected", std::to_string(f.connected), std::to_string(s.clients),
              Check(f.connected == s.clients));
  PrintFigure("hostile: pings timed / unanswered",
              std::to_string(f.pingMicros.size()) + " / " + std::to_string(f.pingsUnanswered));
  PrintFigure("hostile: ping p50, " + who, Format("%.0f us", Percentile(f.pingMicros, 0.5)));
  PrintFigure("hostile: ping p99, " + who, Format("%.0f us", p99), "< 5000 us",
              Check(!f.pingMicros.empty() && f.pingsUnanswered == 0 && p99 < 5000));
  PrintFigure("hostile: peak resident memory",
              Format("%.1f MiB", static_cast<double>(f.peakRssKiB) / 1024.0));
}

void RunIdle(LaunchedServer& server, const Settings& s) {
  IdleFigures f = MeasureIdleClients(server, s.idleClients, s.idleSeconds);
  const double mib = static_cast<double>(f.rssKiB) / 1024.0;
  const std::string n = std::to_string(s.idleClients);
  PrintFigure("idle " + n + ": clients connected", std::to_string(f.connected), n,
              Check(f.connected == s.idleClients));
  PrintFigure("idle " + n + ": CPU, " + std::to_string(s.idleSeconds) + " s",
              Format("%.4f %% of a core", f.idleCpuShare * 100), "< 0.1 %",
              Check(f.idleCpuShare >= 0 && f.idleCpuShare < 0.001));
  PrintFigure("idle " + n + ": resident memory", Format("%.1f MiB", mib), "< 128 MiB",
              Check(f.rssKiB > 0 && mib < 128));
}

bool ParseArgs(int argc, char** argv, Settings& s) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--server")
      s.launch.binary = value;
    else if (name == "--only")
      s.only = value;
    else if (name == "--frames")
      s.frames = std::atol(value.c_str());
    else if (name == "--round-trips")
      s.roundTrips = std::atoi(value.c_str());
    else if (name == "--clients")
      s.clients = std::atoi(value.c_str());
    else if (name == "--busy")
      s.busySeconds = std::atoi(value.c_str());
    else if (name == "--idle")
      s.idleSeconds = std::atoi(value.c_str());
    else if (name == "--idle-clients")
      s.idleClients = std::atoi(value.c_str());
    else if (name == "--stream")
      s.streamOnly = std::atol(value.c_str());
    else if (name == "--wrapper") {
      std::istringstream words(value);
      for (std::string w; words >> w;) s.launch.wrapper.push_back(w);
    } else {
      std::fprintf(stderr, "hovra_load_bench: unknown option %s\n", name.c_str());
      return false;
    }
  }
  return argc % 2 == 1;
}

}  // namespace
}  // namespace hovra::bench

int main(int argc, char** argv) {
  using namespace hovra::bench;
  Settings s;
  if (!ParseArgs(argc, argv, s)) {
    std::fprintf(stderr,
                 "usage: hovra_load_bench [--server PATH] [--only "
                 "latency|throughput|many|hostile|idle] ...\n");
    return 2;
  }
  RaiseDescriptorLimit();  // the server inherits it: 1,000 clients need more than 1,024
  if (!s.launch.wrapper.empty()) s.launch.listenWait = std::chrono::seconds(60);
  LaunchedServer server(s.launch);
  if (server.Port() == 0) return 1;
  if (s.streamOnly >= 0) {
    const double seconds = s.streamOnly > 0 ? StreamFrames(server.Port(), s.streamOnly) : 0;
    return seconds >= 0 && server.Stop(SIGTERM, std::chrono::seconds(120)) == 0 ? 0 : 1;
  }
  if (s.only.empty() || s.only == "latency") RunLatency(server, s.roundTrips);
  if (s.only.empty() || s.only == "throughput") RunThroughput(server, s.frames);
  if (s.only.empty() || s.only == "many") {
    // A fresh server, so that its memory figures are the many clients' alone.
    LaunchedServer fresh(s.launch);
    if (fresh.Port() != 0) RunMany(fresh, s);
  }
  if (s.only.empty() || s.only == "hostile") {
    LaunchedServer fresh(s.launch);
    if (fresh.Port() != 0) RunHostile(fresh, s);
  }
  if (s.only.empty() || s.only == "idle") {
    LaunchedServer fresh(s.launch);
    if (fresh.Port() != 0) RunIdle(fresh, s);
  }
  return 0;
}
