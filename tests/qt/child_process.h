// A helper process of a test, its standard output and error in a file, ended (SIGTERM)
// and waited for when the object goes, or when the test process itself ends.
//   ChildProcess watcher({"/usr/bin/python3", script, "watch", dir}, dir + "/watcher.out");
//   watcher.WaitForOutput("ready\n", 10s);
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/server_process.h"

namespace hovra::testing {

class ChildProcess {
 public:
  ChildProcess(std::vector<std::string> argv, std::string outputFile)
      : outputFile_(std::move(outputFile)) {
    // Emptied before the fork: nothing of an earlier process's output is read as this one's.
    int out = ::open(outputFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = ::fork();
    if (pid_ != 0) {
      ::close(out);
      return;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives a test that ended abruptly
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    std::vector<char*> args;
    for (std::string& arg : argv) args.push_back(arg.data());
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ~ChildProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::string Output() const { return ReadFile(outputFile_); }
  // The rest of the line that starts with `prefix`, once the process has printed it.
  std::optional<std::string> WaitForLine(const std::string& prefix,
                                         std::chrono::milliseconds wait) const {
    auto deadline = std::chrono::steady_clock::now() + wait;
    do {
      std::string out = Output();
      size_t at = out.find(prefix);
      size_t end = at == std::string::npos ? at : out.find('\n', at);
      if (end != std::string::npos) return out.substr(at + prefix.size(), end - at - prefix.size());
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
  }

 private:
  pid_t pid_ = -1;
  std::string outputFile_;
};

}  // namespace hovra::testing
