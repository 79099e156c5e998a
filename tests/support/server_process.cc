#include "tests/support/server_process.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

[[noreturn]] void Exec(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execvp(argv[0], argv.data());
  std::_Exit(127);
}

}  // namespace

CommandResult RunHovraCommand(const std::vector<std::string>& args, const std::string& home) {
  char pattern[] = "/tmp/hovra-cmd-XXXXXX";
  int fd = ::mkstemp(pattern);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fd, STDOUT_FILENO);
    std::freopen("/dev/null", "w", stderr);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    std::vector<std::string> all = {HOVRA_SERVER_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    Exec(all);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(fd);
  CommandResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(pattern)};
  ::unlink(pattern);
  return result;
}

ServerProcess::ServerProcess(ServerProcessOptions options) : dir_(temp_.path().string()) {
  std::filesystem::create_directories(dir_ + "/home");
  std::filesystem::create_directories(dir_ + "/config");
  // The server refuses a configuration folder others could change, whatever the umask.
  std::filesystem::permissions(dir_ + "/config", std::filesystem::perms::owner_all);
  std::ofstream(dir_ + "/sim.json") << options.simJson;

  std::vector<std::string> args = options.wrapper;
  const std::vector<std::string> own = {
      options.binary.empty() ? HOVRA_SERVER_BINARY : options.binary, "--backend",
      "journal",  // never the tester's own desktop
      "--journal", options.keepJournal ? dir_ + "/journal.jsonl" : "none", "--sim",
      dir_ + "/sim.json", "--port", "0", "--discovery-port", "0",
      // the start-up update check stays on this machine
      "--update-url", "http://127.0.0.1:9/version.json", "--config-dir", dir_ + "/config"};
  args.insert(args.end(), own.begin(), own.end());
  if (options.simControl) args.insert(args.end(), {"--sim-control", dir_ + "/control.sock"});
  if (options.fastTimers) args.insert(args.end(), {"--timer-divisor", "20"});
  args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());

  pid_ = ::fork();
  if (pid_ == 0) {
    std::freopen((dir_ + "/stdout").c_str(), "w", stdout);
    std::freopen((dir_ + "/stderr").c_str(), "w", stderr);
    ::setenv("HOME", (dir_ + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/home/.config").c_str(), 1);
    for (const auto& [name, value] : options.environment)
      value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
    if (options.fileLimit > 0) {
      rlimit limit{static_cast<rlim_t>(options.fileLimit), static_cast<rlim_t>(options.fileLimit)};
      ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    Exec(args);
  }
  if (!options.waitUntilListening) return;
  const std::string marker = "listening on TCP port ";
  PollUntil(
      [&] {
        const std::string err = Stderr();
        const size_t at = err.find(marker);
        if (at == std::string::npos || err.find('\n', at) == std::string::npos) return !Running();
        port_ = static_cast<unsigned short>(std::atoi(err.c_str() + at + marker.size()));
        return true;
      },
      options.listenWait);
}

ServerProcess::~ServerProcess() {
  if (Running()) Stop(SIGKILL);
}

bool ServerProcess::Running() {
  if (pid_ <= 0 || exitCode_ != -1) return false;
  int status = 0;
  pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == 0) return true;
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

int ServerProcess::WaitForExit(std::chrono::milliseconds wait) {
  PollUntil([this] { return !Running(); }, wait);
  return Running() ? -1 : exitCode_;
}

int ServerProcess::Stop(int signal, std::chrono::milliseconds wait) {
  if (Running()) ::kill(pid_, signal);
  int code = WaitForExit(wait);
  if (code == -1 && Running()) {
    ::kill(pid_, SIGKILL);
    WaitForExit(5s);
    return -1;
  }
  return code;
}

bool ServerProcess::Control(std::string_view line) const {
  return SendUnixLine(dir_ + "/control.sock", line);
}

std::vector<std::string> ServerProcess::JournalLines() const {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(dir_ + "/journal.jsonl"));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> ServerProcess::WaitForJournal(size_t count,
                                                       std::chrono::milliseconds wait) const {
  std::vector<std::string> lines;
  PollUntil([&] { return (lines = JournalLines()).size() >= count; }, wait);
  return lines;
}

std::string ServerProcess::Stdout() const { return ReadFile(dir_ + "/stdout"); }
std::string ServerProcess::Stderr() const { return ReadFile(dir_ + "/stderr"); }

bool ServerProcess::WaitForStderr(const std::string& text, std::chrono::milliseconds wait) const {
  return PollUntil([&] { return Stderr().find(text) != std::string::npos; }, wait);
}

double ServerProcess::CpuSeconds() const {
  double total = 0;
  std::error_code error;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/task", error)) {
    total += std::strtod(ReadFile(task.path() / "schedstat").c_str(), nullptr) / 1e9;
  }
  return total;
}

long ServerProcess::PeakRssKiB() const { return StatusKiB("VmHWM"); }
long ServerProcess::RssKiB() const { return StatusKiB("VmRSS"); }

long ServerProcess::StatusKiB(const std::string& field) const {
  const std::string status = ReadFile("/proc/" + std::to_string(pid_) + "/status");
  const size_t at = status.find(field + ":");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size() + 1);
}

}  // namespace hovra::testing
