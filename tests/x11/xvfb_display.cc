#include "tests/x11/xvfb_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace hovra::testing {
namespace {

constexpr char kXvfb[] = "/usr/bin/Xvfb";

pid_t Spawn(std::vector<std::string> argv, int keepFd) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  int devNull = open("/dev/null", O_RDWR);
  if (devNull >= 0) {
    dup2(devNull, STDIN_FILENO);
    if (keepFd != STDOUT_FILENO) dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
  }
  std::vector<char*> args;
  for (std::string& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool XvfbDisplay::Available() { return access(kXvfb, X_OK) == 0; }

XvfbDisplay::XvfbDisplay(int number) {
  int ready[2];
  if (pipe(ready) != 0) return;
  // -displayfd: the server writes its display number to the pipe once it accepts
  // connections, so there is nothing to poll for.
  std::vector<std::string> argv{kXvfb};
  if (number >= 0) argv.push_back(DisplayName(number));
  argv.insert(argv.end(), {"-displayfd", std::to_string(ready[1]), "-noreset", "-nolisten", "tcp",
                           "-screen", "0", "1280x800x24"});
  pid_ = Spawn(argv, ready[1]);
  close(ready[1]);
  std::string text;
  char buffer[32];
  ssize_t got = 0;
  while ((got = read(ready[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) text.append(buffer, static_cast<size_t>(got));
    if (text.find('\n') != std::string::npos) break;
  }
  close(ready[0]);
  if (text.empty()) {
    Stop();  // the server ended before it was ready (display number taken)
    return;
  }
  number_ = std::atoi(text.c_str());
}

XvfbDisplay::~XvfbDisplay() { Stop(); }

void XvfbDisplay::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  WaitFor(pid_);
  pid_ = -1;
}

bool XvfbDisplay::Run(const std::string& tool, const std::vector<std::string>& args) const {
  std::vector<std::string> argv{tool, "-display", Name()};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = Spawn(argv, -1);
  return pid > 0 && WaitFor(pid) == 0;
}

}  // namespace hovra::testing
