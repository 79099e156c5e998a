// A helper program a test starts for itself (bus daemon, sound server ...), ended with it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace hovra::testing {

// NAME=VALUE to set; an empty value removes NAME from the child's environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

struct ServiceOptions {
  std::vector<std::string> argv;  // argv[0] is looked up in PATH
  Environment env{};
  std::string output{};           // standard output and error go there ("" : /dev/null)
  bool cleanEnvironment = false;  // only `env`, nothing of this process's
  bool unprivileged = false;      // run as "nobody" when this process is root
  bool dropErrors = false;        // standard error to /dev/null, not to `output`
  int outputFd = -1;              // in place of `output` (a pipe the test reads); closed here
};

class ServiceProcess {
 public:
  explicit ServiceProcess(const ServiceOptions& options);
  ~ServiceProcess() { Stop(); }
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool Running();
  std::string Output() const { return ReadFile(output_); }
  // Polls until `ready` holds or the process ended; true when it is ready and still runs.
  bool WaitReady(const std::function<bool()>& ready, std::chrono::milliseconds wait = 10s);
  // The first line of the output starting with `prefix` (without it), once it is there.
  std::optional<std::string> WaitForLine(const std::string& prefix,
                                         std::chrono::milliseconds wait = 10s);
  // SIGTERM, then SIGKILL when it has not ended within a few seconds.
  void Stop();
  int WaitForExit();  // its exit code; -1 when it did not start or was killed

 private:
  pid_t pid_ = -1;
  std::string output_;
};

struct ToolResult {
  int exitCode = -1;
  std::string output;  // standard output
};
// Runs a program to its end, with `env` added to this process's environment.
ToolResult RunTool(const std::vector<std::string>& argv, const Environment& env = {});

// PollUntil with the longer wait helper programs need (the backends' tests use it).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds wait = 10s) {
  return PollUntil(condition, wait);
}
// PollUntil, running this thread's GLib main context (D-Bus replies, signals) meanwhile.
bool SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds wait = 5s);

bool ProgramExists(const std::string& name);  // in PATH, or an absolute path

}  // namespace hovra::testing
