// Starts the real hovra-server for a measurement: journal "none", a free loopback port,
// no discovery, its own temporary home and configuration; optionally under a wrapper
// command (valgrind). Reads the process's CPU time and memory from /proc.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace hovra::bench {

struct LaunchOptions {
  std::string binary;
  std::vector<std::string> wrapper;  // e.g. {"valgrind", "--tool=callgrind", ...}
  int listenWaitSeconds = 10;
};

class LaunchedServer {
 public:
  explicit LaunchedServer(const LaunchOptions& options);
  ~LaunchedServer();
  LaunchedServer(const LaunchedServer&) = delete;
  LaunchedServer& operator=(const LaunchedServer&) = delete;

  bool Ok() const { return port_ != 0; }
  unsigned short Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  const std::string& Dir() const { return dir_; }

  // CPU time of all the process's threads so far, in seconds (from the scheduler's
  // nanosecond counts, not the 10 ms ticks).
  double CpuSeconds() const;
  // Peak and current resident memory in KiB (VmHWM, VmRSS).
  long PeakRssKiB() const;
  long RssKiB() const;
  // Sends SIGTERM and waits for the exit (SIGKILL after `seconds`); true on a clean exit.
  bool Stop(int seconds = 30);

 private:
  std::string dir_;
  pid_t pid_ = -1;
  unsigned short port_ = 0;
};

}  // namespace hovra::bench
