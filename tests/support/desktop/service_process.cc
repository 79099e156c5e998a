#include "tests/support/desktop/service_process.h"

#include <fcntl.h>
#include <glib.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

namespace hovra::testing {
namespace {

constexpr char kUnprivilegedUser[] = "nobody";

struct ChildSetup {
  bool changeUser = false;
  uid_t uid = 0;
  gid_t gid = 0;
};

// Between fork and exec: its own process group (whatever it starts ends with it), the
// account asked for, and an end with the test process.
void SetUpChild(gpointer data) {
  const auto* setup = static_cast<const ChildSetup*>(data);
  ::setpgid(0, 0);
  if (setup->changeUser &&
      (::setgroups(0, nullptr) != 0 || ::setgid(setup->gid) != 0 || ::setuid(setup->uid) != 0)) {
    ::_exit(126);
  }
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
}

}  // namespace

// Spawned by GLib with the environment built beforehand: safe in a test process full of
// threads.
ServiceProcess::ServiceProcess(const ServiceOptions& options) : output_(options.output) {
  ChildSetup setup;
  if (options.unprivileged && ::geteuid() == 0) {
    const passwd* user = ::getpwnam(kUnprivilegedUser);
    if (user == nullptr) return;
    setup = {true, user->pw_uid, user->pw_gid};
  }
  gchar** envp = options.cleanEnvironment ? g_new0(gchar*, 1) : g_get_environ();
  for (const auto& [name, value] : options.env) {
    envp = value.empty() ? g_environ_unsetenv(envp, name.c_str())
                         : g_environ_setenv(envp, name.c_str(), value.c_str(), TRUE);
  }
  std::vector<char*> argv;
  for (const std::string& a : options.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string file = output_.empty() ? "/dev/null" : output_;
  int out = options.outputFd >= 0
                ? options.outputFd
                : ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int errors = options.dropErrors ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : out;
  GPid pid = 0;
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
  if (g_spawn_async_with_fds(nullptr, argv.data(), envp, flags, SetUpChild, &setup, &pid, -1, out,
                             errors, nullptr)) {
    pid_ = pid;
    ::setpgid(pid_, pid_);  // also here: Stop() may come before the child ran
  }
  if (errors != out) ::close(errors);
  ::close(out);
  g_strfreev(envp);
}

bool ServiceProcess::Running() {
  if (pid_ <= 0) return false;
  if (::waitpid(pid_, nullptr, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void ServiceProcess::Stop() {
  if (!Running()) return;
  ::kill(-pid_, SIGTERM);
  if (!PollUntil([&] { return !Running(); }, 5s)) {
    ::kill(-pid_, SIGKILL);
    WaitForExit();
  }
}

int ServiceProcess::WaitForExit() {
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ServiceProcess::WaitReady(const std::function<bool()>& ready, std::chrono::milliseconds wait) {
  return PollUntil([&] { return ready() || !Running(); }, wait) && Running();
}

std::optional<std::string> ServiceProcess::WaitForLine(const std::string& prefix,
                                                       std::chrono::milliseconds wait) {
  std::optional<std::string> found;
  PollUntil(
      [&] {
        std::istringstream out(Output());
        for (std::string line; std::getline(out, line) && !out.eof();) {  // whole lines only
          if (line.starts_with(prefix)) return (found = line.substr(prefix.size())).has_value();
        }
        return !Running();
      },
      wait);
  return found;
}

ToolResult RunTool(const std::vector<std::string>& argv, const Environment& env) {
  TempDir dir;
  ServiceProcess tool({.argv = argv, .env = env, .output = dir / "output", .dropErrors = true});
  int code = tool.WaitForExit();
  return {code, tool.Output()};
}

bool SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds wait) {
  return PollUntil(
      [&] {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        return condition();
      },
      wait);
}

bool ProgramExists(const std::string& name) {
  gchar* found = g_find_program_in_path(name.c_str());
  g_free(found);
  return found != nullptr;
}

}  // namespace hovra::testing
