#include "tests/support/desktop/x_client_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <thread>
#include <vector>

namespace hovra::testing {
namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

XClientWindow::XClientWindow(const std::string& display, const XClientWindowSpec& spec) {
  display_ = XOpenDisplay(display.c_str());
  if (display_ == nullptr) return;
  XSetErrorHandler(IgnoreErrors);  // the window may be gone when a test asks about it
  window_ =
      XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 150, 0, 0, 0xffffff);
  std::string instance = spec.wmInstance, klass = spec.wmClass;
  XClassHint hint{instance.data(), klass.data()};
  XSetClassHint(display_, window_, &hint);
  if (spec.pid != 0) SetPid(spec.pid);
  if (!spec.gtkApplicationId.empty()) {
    XChangeProperty(display_, window_, XInternAtom(display_, "_GTK_APPLICATION_ID", False),
                    XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(spec.gtkApplicationId.data()),
                    static_cast<int>(spec.gtkApplicationId.size()));
  }
  if (spec.skipTaskbar) {
    long state = static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_SKIP_TASKBAR", False));
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&state), 1);
  }
  // Closing asks first (otherwise a window manager would cut this connection).
  Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &deleteWindow, 1);
  XMapWindow(display_, window_);
  XSync(display_, False);
}

void XClientWindow::SetPid(int pid) {
  // A process id means something only with the machine it runs on.
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  char* hostList[] = {host};
  XTextProperty machine{};
  if (XStringListToTextProperty(hostList, 1, &machine)) {
    XSetWMClientMachine(display_, window_, &machine);
    XFree(machine.value);
  }
  long value = pid;
  XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&value), 1);
  XSync(display_, False);
}

XClientWindow::~XClientWindow() {
  if (display_ == nullptr) return;
  Close();
  XCloseDisplay(display_);
}

void XClientWindow::Close() {
  if (window_ == 0) return;
  XDestroyWindow(display_, window_);
  XSync(display_, False);
  window_ = 0;
}

std::string XClientWindow::HexId() const {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", window_);
  return text;
}

bool XClientWindow::HasState(const std::string& state) {
  Atom wanted = XInternAtom(display_, ("_NET_WM_STATE_" + state).c_str(), False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display_, window_, XInternAtom(display_, "_NET_WM_STATE", False), 0, 64,
                         False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const long* atoms = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < count; ++i) found |= static_cast<Atom>(atoms[i]) == wanted;
  }
  if (data != nullptr) XFree(data);
  return found;
}

bool XClientWindow::WaitForDeleteRequest(std::chrono::milliseconds wait) {
  const Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (std::chrono::steady_clock::now() < deadline) {
    XEvent event;
    while (XCheckTypedWindowEvent(display_, window_, ClientMessage, &event)) {
      if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace hovra::testing
