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
#include <thread>

namespace hovra::testing {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const char* ServerBinaryPath() { return HOVRA_SERVER_BINARY; }

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
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(fd);
  CommandResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(pattern);
  ::unlink(pattern);
  return result;
}

ServerProcess::ServerProcess(ServerProcessOptions options) {
  char pattern[] = "/tmp/hovra-test-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  std::filesystem::create_directories(dir_ + "/home");
  std::filesystem::create_directories(dir_ + "/config");
  // The server refuses a configuration folder others could change, whatever the umask.
  std::filesystem::permissions(dir_ + "/config", std::filesystem::perms::owner_all);
  std::ofstream(dir_ + "/sim.json") << options.simJson;

  std::vector<std::string> args = {HOVRA_SERVER_BINARY, "--backend",
                                   "journal",  // never the tester's own desktop
                                   "--journal", dir_ + "/journal.jsonl", "--sim",
                                   dir_ + "/sim.json", "--port", "0", "--discovery-port", "0",
                                   // the start-up update check stays on this machine
                                   "--update-url", "http://127.0.0.1:9/version.json"};
  if (options.ownConfigDir) {
    args.push_back("--config-dir");
    args.push_back(dir_ + "/config");
  }
  args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());

  pid_ = ::fork();
  if (pid_ == 0) {
    std::freopen((dir_ + "/stdout").c_str(), "w", stdout);
    std::freopen((dir_ + "/stderr").c_str(), "w", stderr);
    ::setenv("HOME", (dir_ + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/home/.config").c_str(), 1);
    for (const auto& [name, value] : options.environment) {
      if (value.empty()) {
        ::unsetenv(name.c_str());
      } else {
        ::setenv(name.c_str(), value.c_str(), 1);
      }
    }
    if (options.fileLimit > 0) {
      rlimit limit{static_cast<rlim_t>(options.fileLimit), static_cast<rlim_t>(options.fileLimit)};
      ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
  }
  if (!options.waitUntilListening) return;
  const std::string marker = "listening on TCP port ";
  auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline && Running()) {
    std::string err = Stderr();
    size_t at = err.find(marker);
    if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
      port_ = static_cast<unsigned short>(std::atoi(err.c_str() + at + marker.size()));
      return;
    }
    std::this_thread::sleep_for(10ms);
  }
}

ServerProcess::~ServerProcess() {
  if (Running()) Stop(SIGKILL);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
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
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (Running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
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

std::vector<std::string> ServerProcess::JournalLines() const {
  return SplitLines(ReadFile(dir_ + "/journal.jsonl"));
}

std::vector<std::string> ServerProcess::WaitForJournal(size_t count,
                                                       std::chrono::milliseconds wait) const {
  auto deadline = std::chrono::steady_clock::now() + wait;
  std::vector<std::string> lines = JournalLines();
  while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
    lines = JournalLines();
  }
  return lines;
}

std::string ServerProcess::Stdout() const { return ReadFile(dir_ + "/stdout"); }
std::string ServerProcess::Stderr() const { return ReadFile(dir_ + "/stderr"); }

bool ServerProcess::WaitForStderr(const std::string& text, std::chrono::milliseconds wait) const {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (Stderr().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

double ServerProcess::CpuSeconds() const {
  std::string stat = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream in(stat.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && in >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

}  // namespace hovra::testing
