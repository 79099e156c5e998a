#include "tests/support/desktop/service_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/support/server_process.h"

namespace hovra::testing {
namespace {

void ApplyEnvironment(const Environment& env) {
  for (const auto& [name, value] : env) {
    if (value.empty()) {
      ::unsetenv(name.c_str());
    } else {
      ::setenv(name.c_str(), value.c_str(), 1);
    }
  }
}

[[noreturn]] void Exec(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ::execvp(args[0], args.data());
  std::_Exit(127);
}

}  // namespace

ServiceProcess::ServiceProcess(const ServiceOptions& options) {
  pid_ = ::fork();
  if (pid_ > 0) ::setpgid(pid_, pid_);  // also here: Stop() may come before the child runs
  if (pid_ != 0) return;
  ::setpgid(0, 0);  // its own group: whatever it starts ends with it
  const std::string out = options.output.empty() ? "/dev/null" : options.output;
  std::freopen(out.c_str(), "w", stdout);
  ::dup2(STDOUT_FILENO, STDERR_FILENO);
  ApplyEnvironment(options.env);
  Exec(options.argv);
}

bool ServiceProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void ServiceProcess::Stop() {
  if (!Running()) return;
  ::kill(-pid_, SIGTERM);
  if (!WaitUntil([&] { return !Running(); }, 5s)) {
    ::kill(-pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }
}

ToolResult RunTool(const std::vector<std::string>& argv, const Environment& env) {
  std::string dir = MakeTempDir("hovra-tool");
  std::string file = dir + "/out";
  pid_t pid = ::fork();
  if (pid == 0) {
    std::freopen(file.c_str(), "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ApplyEnvironment(env);
    Exec(argv);
  }
  ToolResult result;
  int status = 0;
  bool ended = WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20s);
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  } else if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  }
  result.output = ReadFile(file);
  RemoveTree(dir);
  return result;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

std::string MakeTempDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  return ::mkdtemp(pattern.data());
}

void RemoveTree(const std::string& dir) {
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

bool ProgramExists(const std::string& name) {
  if (name.starts_with('/')) return ::access(name.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (::access((dirs.substr(start, end - start) + "/" + name).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace hovra::testing
