#include "tests/support/desktop/x_client_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/support/temp_dir.h"

namespace hovra::testing {
namespace {

// The character a keysym stands for (0 for keys that type nothing).
char32_t CharacterOfKeysym(KeySym keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
    return static_cast<char32_t>(keysym);
  }
  if ((keysym & 0xff000000) == 0x01000000) return static_cast<char32_t>(keysym & 0x00ffffff);
  if (keysym == XK_Return) return U'\r';
  if (keysym == XK_Tab) return U'\t';
  if (keysym == XK_EuroSign) return U'\u20ac';
  return 0;
}

}  // namespace

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
  const int screen = DefaultScreen(display_);
  if (spec.focusedCover) {
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                  static_cast<unsigned>(DisplayWidth(display_, screen)),
                                  static_cast<unsigned>(DisplayHeight(display_, screen)), 0, 0, 0);
    XSelectInput(display_, window_,
                 KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  } else {
    // The window may be gone when a test asks about it (the backends' tests keep their
    // own handler).
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, 200, 150, 0, 0,
                                  0xffffff);
  }
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
  if (spec.focusedCover) {
    XEvent event;
    do {
      XWindowEvent(display_, window_, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  }
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

void XClientWindow::Drain() {
  XSync(display_, False);
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
    } else if (event.type == KeyPress) {
      KeySym keysym = NoSymbol;
      char bytes[16];
      XLookupString(&event.xkey, bytes, sizeof bytes, &keysym, nullptr);
      if (char32_t character = CharacterOfKeysym(keysym); character != 0) {
        keys_.emplace_back(character,
                           event.xkey.state & (kShiftMask | kControlMask | kAltMask | kSuperMask));
      }
    } else if (event.type == ButtonPress || event.type == ButtonRelease) {
      buttons_.emplace_back(event.xbutton.button, event.type == ButtonPress, event.xbutton.x_root,
                            event.xbutton.y_root);
    }
  }
}

std::u32string XClientWindow::TakeText() {
  std::u32string text;
  for (const TypedKey& key : TakeKeys()) text += key.first;
  return text;
}

std::vector<TypedKey> XClientWindow::TakeKeys() {
  Drain();
  return std::exchange(keys_, {});
}

std::vector<ButtonRecord> XClientWindow::TakeButtons() {
  Drain();
  return std::exchange(buttons_, {});
}

void XClientWindow::Pointer(int* x, int* y, unsigned* state) {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &windowX,
                &windowY, &mask);
  if (x != nullptr) *x = rootX;
  if (y != nullptr) *y = rootY;
  if (state != nullptr) *state = mask;
}

void XClientWindow::WarpPointer(int x, int y) {
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
  XSync(display_, False);
}

bool XClientWindow::KeymapHas(unsigned long keysym) {
  int minCode = 0, maxCode = 0, perCode = 0;
  XDisplayKeycodes(display_, &minCode, &maxCode);
  const int codes = maxCode - minCode + 1;
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(minCode), codes, &perCode);
  if (map == nullptr) return false;
  const bool found = std::count(map, map + codes * perCode, keysym) > 0;
  XFree(map);
  return found;
}

}  // namespace hovra::testing
