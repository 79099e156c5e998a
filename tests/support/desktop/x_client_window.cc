#include "tests/support/desktop/x_client_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/support/temp_dir.h"

namespace hovra::testing {

std::vector<unsigned long> XListProperty(Display* display, Window window, const char* name,
                                         Atom type) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                         &actual, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const long* items = reinterpret_cast<const long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

XClientWindow::XClientWindow(const std::string& display, const XClientWindowSpec& spec) {
  display_ = XOpenDisplay(display.c_str());
  if (display_ == nullptr) return;
  // The window may be gone when a test asks about it.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  window_ =
      XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 150, 0, 0, 0xffffff);
  std::string instance = spec.wmInstance, klass = spec.wmClass;
  XClassHint hint{instance.data(), klass.data()};
  XSetClassHint(display_, window_, &hint);
  if (!spec.gtkApplicationId.empty()) {
    SetProperty("_GTK_APPLICATION_ID", XInternAtom(display_, "UTF8_STRING", False), 8,
                spec.gtkApplicationId.data(), static_cast<int>(spec.gtkApplicationId.size()));
  }
  if (spec.skipTaskbar) {
    long state = static_cast<long>(XInternAtom(display_, "_NET_WM_STATE_SKIP_TASKBAR", False));
    SetProperty("_NET_WM_STATE", XA_ATOM, 32, &state, 1);
  }
  // Closing asks first (otherwise a window manager would cut this connection).
  Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &deleteWindow, 1);
  XMapWindow(display_, window_);
  XSync(display_, False);
}

void XClientWindow::SetProperty(const char* name, unsigned long type, int format, const void* data,
                                int count) {
  XChangeProperty(display_, window_, XInternAtom(display_, name, False), type, format,
                  PropModeReplace, static_cast<const unsigned char*>(data), count);
}

void XClientWindow::SetPid(int pid) {
  // A process id means something only with the machine it runs on.
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  SetProperty("WM_CLIENT_MACHINE", XA_STRING, 8, host, static_cast<int>(std::strlen(host)));
  long value = pid;
  SetProperty("_NET_WM_PID", XA_CARDINAL, 32, &value, 1);
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
  return std::ranges::count(XListProperty(display_, window_, "_NET_WM_STATE", XA_ATOM), wanted);
}

bool XClientWindow::WaitForDeleteRequest(std::chrono::milliseconds wait) {
  const Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XEvent event;
  return PollUntil(
      [&] {
        return XCheckTypedWindowEvent(display_, window_, ClientMessage, &event) &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
      },
      wait);
}

}  // namespace hovra::testing
