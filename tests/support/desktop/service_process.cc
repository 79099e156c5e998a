#include "tests/support/desktop/service_process.h"

#include <fcntl.h>
#include <glib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace hovra::testing {

// Spawned by GLib with the environment built beforehand: between fork and exec the child
// does nothing but join its own process group, safe in a test process full of threads.
ServiceProcess::ServiceProcess(const ServiceOptions& options) {
  gchar** envp = g_get_environ();
  for (const auto& [name, value] : options.env) {
    envp = value.empty() ? g_environ_unsetenv(envp, name.c_str())
                         : g_environ_setenv(envp, name.c_str(), value.c_str(), TRUE);
  }
  std::vector<char*> argv;
  for (const std::string& a : options.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string file = options.output.empty() ? "/dev/null" : options.output;
  int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  GPid pid = 0;
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
  auto ownGroup = [](gpointer) { ::setpgid(0, 0); };  // whatever it starts ends with it
  if (g_spawn_async_with_fds(nullptr, argv.data(), envp, flags, ownGroup, nullptr, &pid, -1, out,
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

ToolResult RunTool(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  gchar* out = nullptr;
  gint status = 0;
  ToolResult result;
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL);
  if (g_spawn_sync(nullptr, args.data(), nullptr, flags, nullptr, nullptr, &out, nullptr, &status,
                   nullptr)) {
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = out;
  }
  g_free(out);
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
  gchar* found = g_find_program_in_path(name.c_str());
  g_free(found);
  return found != nullptr;
}

}  // namespace hovra::testing
