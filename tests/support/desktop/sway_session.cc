#include "tests/support/desktop/sway_session.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

// What every test compositor shares: no X server, no decorations (a window covers its
// output exactly), and focus only where a test puts it.
constexpr char kBaseConfig[] =
    "xwayland disable\n"
    "default_border none\n"
    "default_floating_border none\n"
    "focus_follows_mouse no\n"
    "mouse_warping none\n";

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
  if (!ProgramExists("sway") || !ProgramExists("swaymsg")) return "sway is not installed";
  if (::geteuid() == 0 && ::getpwnam("nobody") == nullptr)
    return "running as root, no user \"nobody\"";
  return "";
}

SwaySession::SwaySession(const std::string& config, int outputs) : runtimeDir_(dir_ / "runtime") {
  ::chmod(dir_.path().c_str(), 0755);
  fs::create_directory(runtimeDir_);
  ::chmod(runtimeDir_.c_str(), 0700);
  std::ofstream(dir_ / "config") << kBaseConfig << config;
  if (::geteuid() == 0) {
    const passwd* user = ::getpwnam("nobody");
    if (user == nullptr || ::chown(runtimeDir_.c_str(), user->pw_uid, user->pw_gid) != 0) return;
  }
  sway_ = std::make_unique<ServiceProcess>(
      ServiceOptions{.argv = {"sway", "-c", dir_ / "config"},
                     .env = {{"PATH", "/usr/local/bin:/usr/bin:/bin"},
                             {"HOME", runtimeDir_},
                             {"XDG_RUNTIME_DIR", runtimeDir_},
                             {"XDG_CACHE_HOME", runtimeDir_ + "/cache"},
                             {"WLR_BACKENDS", "headless"},
                             {"WLR_LIBINPUT_NO_DEVICES", "1"},
                             {"WLR_RENDERER", "pixman"},
                             {"WLR_HEADLESS_OUTPUTS", std::to_string(outputs)}},
                     .output = dir_ / "log",
                     .cleanEnvironment = true,
                     .unprivileged = true});
  // Ready once both sockets exist and it answers; if it ended first, Log() says why.
  bool ready = sway_->WaitReady(
      [&] {
        display_ = FindSocket(runtimeDir_, "wayland-", "");
        ipcSocket_ = FindSocket(runtimeDir_, "sway-ipc.", ".sock");
        return !display_.empty() && !ipcSocket_.empty() &&
               RunTool({"swaymsg", "-s", ipcSocket_, "-t", "get_outputs"}).exitCode == 0;
      },
      15s);
  if (!ready) display_.clear();
}

bool SwaySession::Command(const std::string& command) const {
  ToolResult reply = RunTool({"swaymsg", "-s", ipcSocket_, "--", command});
  return reply.exitCode == 0 && reply.output.find("\"success\": false") == std::string::npos;
}

}  // namespace hovra::testing
