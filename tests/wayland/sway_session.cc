#include "tests/wayland/sway_session.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/child_process.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kTestUser[] = "nobody";  // sway refuses root; any unprivileged account serves

// What every test compositor shares: no X server, no decorations (a window covers its
// output exactly), and focus only where a test puts it.
constexpr char kBaseConfig[] =
    "xwayland disable\n"
    "default_border none\n"
    "default_floating_border none\n"
    "focus_follows_mouse no\n"
    "mouse_warping none\n";

bool OnPath(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    if (::access((dirs.substr(start, end - start) + "/" + tool).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The account sway runs as: this one, or the test user when this one is root.
bool Account(uid_t* uid, gid_t* gid) {
  if (::geteuid() != 0) {
    *uid = ::geteuid();
    *gid = ::getegid();
    return true;
  }
  passwd* user = ::getpwnam(kTestUser);
  if (user == nullptr) return false;
  *uid = user->pw_uid;
  *gid = user->pw_gid;
  return true;
}

std::string FindSocket(const std::string& dir, const std::string& prefix,
                       const std::string& suffix) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    std::string name = entry.path().filename();
    if (name.starts_with(prefix) && name.ends_with(suffix) && entry.is_socket()) {
      return entry.path();
    }
  }
  return "";
}

}  // namespace

std::string SwaySession::Unavailable() {
  if (!OnPath("sway") || !OnPath("swaymsg")) return "sway is not installed";
  uid_t uid;
  gid_t gid;
  if (!Account(&uid, &gid))
    return std::string("running as root and no user \"") + kTestUser + "\" to run sway as";
  return "";
}

SwaySession::SwaySession(const std::string& config, int outputs) {
  uid_t uid;
  gid_t gid;
  if (!Account(&uid, &gid)) return;
  char pattern[] = "/tmp/hovra-sway-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  ::chmod(dir_.c_str(), 0755);
  runtimeDir_ = dir_ + "/runtime";
  fs::create_directory(runtimeDir_);
  ::chmod(runtimeDir_.c_str(), 0700);
  std::ofstream(dir_ + "/config") << kBaseConfig << config;
  if (::chown(runtimeDir_.c_str(), uid, gid) != 0) return;
  int log = ::open((dir_ + "/log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);

  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(log, STDOUT_FILENO);
    ::dup2(log, STDERR_FILENO);
    ::setsid();  // its own group: it ends with its helpers
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
      std::_Exit(126);
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
    std::string outputCount = std::to_string(outputs);
    ::clearenv();
    ::setenv("PATH", "/usr/local/bin:/usr/bin:/bin", 1);
    ::setenv("HOME", runtimeDir_.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (runtimeDir_ + "/cache").c_str(), 1);
    ::setenv("WLR_BACKENDS", "headless", 1);
    ::setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
    ::setenv("WLR_RENDERER", "pixman", 1);
    ::setenv("WLR_HEADLESS_OUTPUTS", outputCount.c_str(), 1);
    std::string configPath = dir_ + "/config";
    ::execlp("sway", "sway", "-c", configPath.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  if (log >= 0) ::close(log);

  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;  // ended before it was ready: Log() says why
      return;
    }
    display_ = FindSocket(runtimeDir_, "wayland-", "");
    ipcSocket_ = FindSocket(runtimeDir_, "sway-ipc.", ".sock");
    if (!display_.empty() && !ipcSocket_.empty() && !Query("get_outputs").empty()) return;
    display_.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

SwaySession::~SwaySession() {
  Stop();
  std::error_code ignored;
  if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

void SwaySession::Stop() {
  if (pid_ <= 0) return;
  ::kill(-pid_, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
}

std::string SwaySession::Log() const {
  std::ifstream in(dir_ + "/log");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SwaySession::Command(const std::string& command) const {
  std::optional<std::string> reply = RunCapturing({"swaymsg", "-s", ipcSocket_, "--", command});
  return reply && reply->find("\"success\": false") == std::string::npos;
}

std::string SwaySession::Query(const std::string& type) const {
  return RunCapturing({"swaymsg", "-r", "-s", ipcSocket_, "-t", type}).value_or("");
}

}  // namespace hovra::testing
