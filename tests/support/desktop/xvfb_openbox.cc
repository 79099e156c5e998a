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

// The windows of the root's property (a window list).
std::vector<Window> RootWindows(Display* x, const char* property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<Window> windows;
  if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, property, False), 0, 1024, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const long* ids = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count; ++i) windows.push_back(static_cast<Window>(ids[i]));
  }
  if (data != nullptr) XFree(data);
  return windows;
}

// Openbox announces itself before it manages windows; a probe window that shows up in the
// client list says it does.
bool ManagesWindows(Display* x, Window probe) {
  if (RootWindows(x, "_NET_SUPPORTING_WM_CHECK").empty()) return false;
  for (Window w : RootWindows(x, "_NET_CLIENT_LIST")) {
    if (w == probe) return true;
  }
  return false;
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
    // Openbox finds its configuration and themes in the system's folders, whatever
    // desktop tree the test made for itself (without a theme it gives up).
    setenv("XDG_CONFIG_DIRS", "/etc/xdg", 1);
    setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
    execl(kOpenbox, kOpenbox, "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) {
    why_ = "cannot open the Xvfb display";
    return;
  }
  Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  // Mapped again until openbox takes it (a map before openbox redirects goes unmanaged).
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!ManagesWindows(x, probe)) {
    if (std::chrono::steady_clock::now() > deadline || waitpid(openbox_, nullptr, WNOHANG) != 0) {
      why_ = "openbox did not take over the display";
      break;
    }
    XUnmapWindow(x, probe);
    XMapWindow(x, probe);
    XSync(x, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  XDestroyWindow(x, probe);
  XSync(x, False);
  // The probe is gone from the client list before any test looks.
  while (why_.empty() && !RootWindows(x, "_NET_CLIENT_LIST").empty() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  XCloseDisplay(x);
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
