#include "tests/support/desktop/xvfb_openbox.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace hovra::testing {
namespace {

constexpr char kOpenbox[] = "/usr/bin/openbox";

bool WindowManagerAnnounced(const std::string& display) {
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) return false;
  Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type,
                                  &format, &count, &after, &data) == Success &&
               count == 1;
  if (data != nullptr) XFree(data);
  XCloseDisplay(x);
  return found;
}

}  // namespace

XvfbOpenbox::XvfbOpenbox() {
  if (!XvfbDisplay::Available()) {
    why_ = "Xvfb is not installed (package xvfb)";
    return;
  }
  if (access(kOpenbox, X_OK) != 0) {
    why_ = "openbox is not installed (package openbox)";
    return;
  }
  xvfb_ = std::make_unique<XvfbDisplay>();
  if (!xvfb_->Running()) {
    why_ = "Xvfb did not start";
    return;
  }
  const std::string display = xvfb_->Name();
  openbox_ = fork();
  if (openbox_ == 0) {
    int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    setenv("DISPLAY", display.c_str(), 1);
    execl(kOpenbox, kOpenbox, "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!WindowManagerAnnounced(display)) {
    if (std::chrono::steady_clock::now() > deadline || waitpid(openbox_, nullptr, WNOHANG) != 0) {
      why_ = "openbox did not take over the display";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

XvfbOpenbox::~XvfbOpenbox() {
  if (openbox_ > 0) {
    kill(openbox_, SIGTERM);
    waitpid(openbox_, nullptr, 0);
  }
}

bool XvfbOpenbox::Run(const std::string& tool, const std::vector<std::string>& args) const {
  pid_t pid = fork();
  if (pid == 0) {
    int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    setenv("DISPLAY", Name().c_str(), 1);
    std::vector<std::string> argv{tool};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& arg : argv) raw.push_back(arg.data());
    raw.push_back(nullptr);
    execvp(raw[0], raw.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace hovra::testing
