#include "tests/support/desktop/service_process.h"

#include <fcntl.h>
#include <glib.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/support/server_process.h"

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

gchar** EnvironmentFor(const Environment& env, bool clean) {
  gchar** envp = clean ? g_new0(gchar*, 1) : g_get_environ();
  for (const auto& [name, value] : env) {
    envp = value.empty() ? g_environ_unsetenv(envp, name.c_str())
                         : g_environ_setenv(envp, name.c_str(), value.c_str(), TRUE);
  }
  return envp;
}

std::vector<char*> Argv(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  return args;
}

}  // namespace

std::string UnprivilegedUnavailable() {
  if (::geteuid() != 0 || ::getpwnam(kUnprivilegedUser) != nullptr) return "";
  return std::string("running as root and no user \"") + kUnprivilegedUser + "\" to run it as";
}

// Spawned by GLib with the environment built beforehand: safe in a test process full of
// threads.
ServiceProcess::ServiceProcess(const ServiceOptions& options) : output_(options.output) {
  ChildSetup setup;
  if (options.unprivileged && ::geteuid() == 0) {
    const passwd* user = ::getpwnam(kUnprivilegedUser);
    if (user == nullptr) return;
    setup = {true, user->pw_uid, user->pw_gid};
  }
  gchar** envp = EnvironmentFor(options.env, options.cleanEnvironment);
  std::vector<char*> argv = Argv(options.argv);
  const std::string file = output_.empty() ? "/dev/null" : output_;
  int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  GPid pid = 0;
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
  if (g_spawn_async_with_fds(nullptr, argv.data(), envp, flags, SetUpChild, &setup, &pid, -1, out,
                             out, nullptr)) {
    pid_ = pid;
    ::setpgid(pid_, pid_);  // also here: Stop() may come before the child ran
  }
  ::close(out);
  g_strfreev(envp);
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

std::string ServiceProcess::Output() const { return ReadFile(output_); }

std::optional<std::string> ServiceProcess::WaitForLine(const std::string& prefix,
                                                       std::chrono::milliseconds wait) {
  std::optional<std::string> found;
  WaitUntil(
      [&] {
        std::string out = Output();
        for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
          if (out.compare(at, prefix.size(), prefix) == 0) {
            found = out.substr(at + prefix.size(), end - at - prefix.size());
            return true;
          }
        }
        return !Running();
      },
      wait);
  return found;
}

ToolResult RunTool(const std::vector<std::string>& argv, const Environment& env) {
  std::vector<char*> args = Argv(argv);
  gchar** envp = EnvironmentFor(env, false);
  gchar* out = nullptr;
  gint status = 0;
  ToolResult result;
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL);
  if (g_spawn_sync(nullptr, args.data(), envp, flags, nullptr, nullptr, &out, nullptr, &status,
                   nullptr)) {
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = out;
  }
  g_free(out);
  g_strfreev(envp);
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

bool SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds wait) {
  return WaitUntil(
      [&] {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        return condition();
      },
      wait);
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
  gchar* found = g_find_program_in_path(name.c_str());
  g_free(found);
  return found != nullptr;
}

}  // namespace hovra::testing
