#include "bench/load/server_launch.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace hovra::bench {
namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

long StatusKiB(pid_t pid, const std::string& field) {
  const std::string status = ReadWhole("/proc/" + std::to_string(pid) + "/status");
  const size_t at = status.find(field + ":");
  return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size() + 1);
}

}  // namespace

LaunchedServer::LaunchedServer(const LaunchOptions& options) {
  char pattern[] = "/tmp/hovra-bench-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  std::filesystem::create_directories(dir_ + "/home");
  std::filesystem::create_directories(dir_ + "/config");
  std::ofstream(dir_ + "/sim.json")
      << R"({"osVersion":"14.2","machineName":"Bench","userName":"bench"})";

  std::vector<std::string> args = options.wrapper;
  const std::vector<std::string> own = {options.binary,
                                        "--journal",
                                        "none",
                                        "--sim",
                                        dir_ + "/sim.json",
                                        "--port",
                                        "0",
                                        "--discovery-port",
                                        "0",
                                        "--config-dir",
                                        dir_ + "/config",
                                        "--update-url",
                                        "http://127.0.0.1:9/version.json"};
  args.insert(args.end(), own.begin(), own.end());
  pid_ = ::fork();
  if (pid_ == 0) {
    std::freopen((dir_ + "/stdout").c_str(), "w", stdout);
    std::freopen((dir_ + "/stderr").c_str(), "w", stderr);
    ::setenv("HOME", (dir_ + "/home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ + "/home/.config").c_str(), 1);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    std::_Exit(127);
  }
  const std::string marker = "listening on TCP port ";
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.listenWaitSeconds);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string err = ReadWhole(dir_ + "/stderr");
    const size_t at = err.find(marker);
    if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
      port_ = static_cast<unsigned short>(std::atoi(err.c_str() + at + marker.size()));
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::fprintf(stderr, "hovra_load_bench: the server did not start listening; its stderr:\n%s\n",
               ReadWhole(dir_ + "/stderr").c_str());
}

LaunchedServer::~LaunchedServer() {
  if (pid_ > 0) Stop(5);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

double LaunchedServer::CpuSeconds() const {
  const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
  double total = 0;
  DIR* dir = ::opendir(tasks.c_str());
  if (dir == nullptr) return -1;
  while (dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const std::string stat = ReadWhole(tasks + "/" + entry->d_name + "/schedstat");
    total += std::strtod(stat.c_str(), nullptr) / 1e9;
  }
  ::closedir(dir);
  return total;
}

long LaunchedServer::PeakRssKiB() const { return StatusKiB(pid_, "VmHWM"); }
long LaunchedServer::RssKiB() const { return StatusKiB(pid_, "VmRSS"); }

bool LaunchedServer::Stop(int seconds) {
  if (pid_ <= 0) return false;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int waited = 0; waited < seconds * 50; ++waited) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return false;
}

}  // namespace hovra::bench
