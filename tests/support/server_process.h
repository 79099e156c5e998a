// The real hovra-server on free loopback ports, journal backend, private home and config.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace hovra::testing {

using namespace std::chrono_literals;

using Lines = std::vector<std::string>;

inline constexpr char kDefaultSim[] =
    R"({"osVersion":"14.2","machineName":"Joe's Mac","userName":"joe"})";

struct ServerProcessOptions {
  std::string simJson = kDefaultSim;
  std::vector<std::string> extraArgs{};  // after the defaults, so they override them
  long fileLimit = 0;                    // RLIMIT_NOFILE for the server when not 0
  bool waitUntilListening = true;
  bool simControl = false;  // a --sim-control socket, for Control()
  bool fastTimers = false;  // the one-second tick and the announcements 20 times as often
  bool keepJournal = true;  // false: "--journal none", for measurements
  std::vector<std::string> wrapper{};  // runs the server under it, e.g. {"valgrind", ...}
  std::string binary{};                // empty: the hovra-server of this build
  std::chrono::milliseconds listenWait = 10s;
  // Set after HOME and XDG_CONFIG_HOME (may replace them); an empty value unsets.
  std::vector<std::pair<std::string, std::string>> environment{};
};

class ServerProcess {
 public:
  ServerProcess() : ServerProcess(ServerProcessOptions{}) {}
  explicit ServerProcess(ServerProcessOptions options);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  unsigned short Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  const std::string& Dir() const { return dir_; }

  // Sends one line to the --sim-control socket (simControl must be set).
  bool Control(std::string_view line) const;

  std::vector<std::string> JournalLines() const;
  // Waits until the journal holds at least `count` lines; returns all of them.
  std::vector<std::string> WaitForJournal(size_t count, std::chrono::milliseconds wait = 5s) const;
  std::string Stdout() const;
  std::string Stderr() const;
  bool WaitForStderr(const std::string& text, std::chrono::milliseconds wait = 5s) const;

  // Sends `signal` and waits for the exit; returns the exit code (-1: killed or timed out).
  int Stop(int signal = 15, std::chrono::milliseconds wait = 10s);
  // The exit code once the process has ended by itself within `wait`, else -1.
  int WaitForExit(std::chrono::milliseconds wait);
  bool Running();
  // CPU time of all the server's threads so far, in seconds.
  double CpuSeconds() const;
  // Peak and current resident memory in KiB (VmHWM, VmRSS); -1 when unknown.
  long PeakRssKiB() const;
  long RssKiB() const;

 private:
  long StatusKiB(const std::string& field) const;

  TempDir temp_;
  std::string dir_;
  pid_t pid_ = -1;
  unsigned short port_ = 0;
  int exitCode_ = -1;
};

struct CommandResult {
  int exitCode = -1;
  std::string out;  // standard output
};
// Runs `hovra-server ARGS` to its end with HOME (and XDG_CONFIG_HOME) under `home`.
CommandResult RunHovraCommand(const std::vector<std::string>& args, const std::string& home);

}  // namespace hovra::testing
